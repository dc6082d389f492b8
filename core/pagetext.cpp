#include "pagetext.h"

#include "tableerror.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

// Bytes 0x80 to 0x9F; the undefined ones keep their own number.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The character of every byte, looked up: the loader converts every name of a table.
constexpr std::array<char16_t, 256> kCharacters = [] {
    std::array<char16_t, 256> characters {};
    for (size_t byte = 0; byte < characters.size(); ++byte)
        characters[byte] =
            byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : char16_t(byte);
    return characters;
}();

constexpr char16_t characterOf(quint8 byte)
{
    return kCharacters[byte];
}

// The characters of a text, a surrogate pair as one, until visit returns false.
template<typename Visit> void eachCharacter(QStringView text, Visit &&visit)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t character = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            character = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (!visit(character))
            return;
    }
}

} // namespace

QChar *textFromBytes(QByteArrayView bytes, QChar *out)
{
    for (const char byte : bytes)
        *out++ = QChar(characterOf(quint8(byte)));
    return out;
}

QString textFromBytes(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    textFromBytes(bytes, text.data());
    return text;
}

int byteOf(char32_t character)
{
    if (character == 0)
        return -1;
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return int(character);
    for (int i = 0; i < int(kHighControls.size()); ++i)
        if (kHighControls[size_t(i)] == character)
            return 0x80 + i;
    return -1;
}

bool isPrintableByte(quint8 byte)
{
    const char16_t character = characterOf(byte);
    return character >= 0x20 && character != 0x7F && (character < 0x80 || character >= 0xA0);
}

std::optional<char32_t> unstorableCharacter(QStringView text)
{
    std::optional<char32_t> found;
    eachCharacter(text, [&](char32_t character) {
        if (byteOf(character) < 0)
            found = character;
        return !found;
    });
    return found;
}

QString unstorableMessage(char32_t character)
{
    const QString shown = character == 0 ? u"NUL"_s : QString::fromUcs4(&character, 1);
    const QString code = QString::number(uint(character), 16).toUpper().rightJustified(4, u'0');
    return u"The character \"%1\" (U+%2) cannot be stored in a table file: its texts are "
           u"Windows-1252"_s.arg(shown, code);
}

QByteArray bytesFromText(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    eachCharacter(text, [&](char32_t character) {
        const int byte = byteOf(character);
        if (byte < 0)
            throw TableError(unstorableMessage(character));
        bytes.append(char(byte));
        return true;
    });
    return bytes;
}
