#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Page texts are single bytes of Windows-1252, the code page of the Western Windows the game
// runs on. The five bytes that code page leaves undefined, and the control bytes, stand for the
// code points of the same number, as Windows maps them, so that every byte comes back as it was.

QString textFromBytes(QByteArrayView bytes);
// The same written at out, one character a byte, for a caller that joins many texts; returns
// the end of what it wrote.
QChar *textFromBytes(QByteArrayView bytes, QChar *out);
// The byte that stands for a character, or -1 when the set has none (NUL ends a text, so it has
// none either).
int byteOf(char32_t character);
// Whether a byte is a character a text form may write as itself: printable and defined.
bool isPrintableByte(quint8 byte);
// The first character of the text that the set cannot store.
std::optional<char32_t> unstorableCharacter(QStringView text);
// Names a character the set cannot store, for the user.
QString unstorableMessage(char32_t character);
// The bytes of a text. Throws TableError naming the first character the set cannot store, so a
// character is never turned into "?".
QByteArray bytesFromText(QStringView text);
