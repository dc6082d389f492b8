#pragma once

#include "pageformats.h"

#include <QIODevice>
#include <QJsonObject>
#include <QString>

#include <functional>
#include <span>

class RecordFile;

// A table file as JSON and back, through the page layouts: every field of a page under its
// declared key, blocks nested under their own keys. A page that does not decode under
// its layout, of another version, or of a kind the program does not edit, is kept as its raw
// bytes with a note, so a table made from its text is the file it came from, byte for byte.
namespace TableText {

// An item's key in a page's text: a field's declared key, or a block's name.
QString keyOf(const Item &item);

// A page text as the text form writes it: its Windows-1252 characters, a backslash doubled,
// and a byte that is no printable character (a control byte, DEL, an undefined one) as \xNN.
// It is always one line, so the lines of list, check and diff show page texts so too.
QString escapedText(QByteArrayView bytes);
// The bytes such a text stands for: each character Windows-1252 has as its byte, \\ as a
// backslash and \xNN as any byte; std::nullopt, and why in *problem, for anything else.
std::optional<QByteArray> unescapedText(QStringView text, QString *problem);

// The record of one page's JSON. Throws TableError naming the key at fault.
QByteArray pageFromJson(const QJsonObject &page);

// Where a text or a table goes as it is made, a piece at a time: a file through the safe save,
// standard output, or memory.
using Sink = std::function<void(QByteArrayView)>;

// The whole file as JSON text, in its own record order: each page {"kind", "version", "fields"}
// when it decodes and comes back byte for byte, otherwise {"kind", "note", "raw" (base64)};
// bytes after the last whole record are kept raw. Written to out a batch of pages at a time,
// so that memory holds a few pages of any table, not the table or its text.
void dumpTable(RecordFile &table, const Sink &out);
QByteArray dumpTable(const QByteArray &table);
QJsonObject tableToJson(const QByteArray &table);
// Throws TableError naming the page (its position from 1, and its name when it has one) and
// the key at fault.
QByteArray tableFromJson(const QJsonObject &table);
// The same from the JSON text, read from text a piece at a time (text must be able to seek,
// to say where it goes wrong) and written to out a batch of records at a time. What was
// written is the table only when it returns: a text that is not valid JSON anywhere, or not
// a table, throws TableError with the line and column, the page and the key, once the text is
// read as far as deciding that needs. A text laid out otherwise than dump lays it out (a
// "pages" list holding other than objects, a key given twice at the top) is read whole.
void buildTable(QIODevice &text, const Sink &out);
QByteArray buildTable(const QByteArray &text);

// The values of a decoded page, for the checks that read them; std::nullopt for a page kept
// raw.
struct DecodedPage
{
    PageKind kind;
    PageBody body;
};
std::optional<DecodedPage> decodePage(const QByteArray &record);
// The same, or why the page is kept raw (the note dump writes beside its bytes).
struct Decoding
{
    std::optional<DecodedPage> page;
    QString reason;
    quint16 version = 0;
};
Decoding decodeRecord(const QByteArray &record);
// A page kind's short name, or the kind byte of a kind the program does not know.
QString kindName(quint8 kindByte);
// One field of a decoded page as a walk over its fields meets it.
class FieldAt
{
public:
    struct Step
    {
        const Item *item;
        qsizetype entry; // a block's entry in a list, or -1
    };

    const FieldSpec &field;
    const FieldValue &value;
    const Values &entry; // the values of its entry, which a choice's list may depend on
    std::span<const int> items; // the item positions from the page body to the field
    std::span<const Step> steps;

    // Its key in dump, with the path of its blocks ("weapons[3].battery.masks[2].fire_wait_time").
    QString key() const;
    // The way to it through the windows ("Ship weapons #4 > Firing mask 3 > Fire wait time").
    QString captions() const;
};
// The key of the field these steps lead to.
QString keyOf(std::span<const FieldAt::Step> steps);
// The captions of the windows, entries and field these steps lead through, as the windows show
// them, joined by " > ".
QString captionsOf(std::span<const FieldAt::Step> steps);
// Every field that dump writes, in layout order.
void forEachField(const DecodedPage &page, const std::function<void(const FieldAt &)> &visit);
// The same over the values of a page of the kind.
void forEachField(PageKind kind, const Values &values,
                  const std::function<void(const FieldAt &)> &visit);
// Every field under its key, valued as dump writes it.
QList<std::pair<QString, QJsonValue>> flatFields(const DecodedPage &page);

} // namespace TableText
