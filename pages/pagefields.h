#pragma once

#include "fieldcodecs.h"
#include "numbertext.h"
#include "pagekinds.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <span>
#include <variant>

// A page body declared as data: each kind lists its fields once, and one piece of code
// reads them, writes them and builds the editor's controls from that list.

enum class FieldEncoding : quint8 {
    String, // NUL-terminated text
    Int, // i32 shown as integer text
    Float, // f32 shown as float text
    Byte, // u8 shown as integer text; writes keep the low 8 bits
    Word, // u16 shown as integer text; writes keep the low 16 bits
    IntBits, // i32 bit set shown as a check list
    ByteBits, // u8 bit set shown as a check list
    Choice, // u8 shown as a drop-down: the byte is the index of the selected item
};

struct FieldSpec
{
    FieldEncoding encoding;
    const char *caption;
    const char *hint;
    // The focus-out check of an edit field, if the field has one.
    std::optional<NumberField> check = std::nullopt;
    // The check-list items of a bit set (item i is bit i), or the drop-down items of a choice.
    std::span<const char *const> items = {};
};

bool isBitSet(FieldEncoding encoding);

// A field's value as the editor holds it: the bytes of a string, the text of a number, or
// the mask of a bit set.
using FieldValue = std::variant<QByteArray, QString, quint32>;
using FieldValues = QList<FieldValue>;

// One field's value, read or written by its encoding.
FieldValue readField(const FieldSpec &field, RecordReader &reader);
void writeField(const FieldSpec &field, const FieldValue &value, RecordWriter &writer);

// What a kind gives the page editor workflow: its header, its new page's name and its fields,
// the page name first. A kind whose body also holds a block no table can declare (the texture's
// procedural block) lists the fields around it; its own body struct reads the whole.
struct PageFormat
{
    PageKind kind;
    QLatin1StringView newPageName;
    std::span<const FieldSpec> fields;

    const KindInfo &info() const { return kindInfo(kind); }
};

// The fields of one page body, in file order.
struct PageBody
{
    FieldValues values;

    // The values of a page made by Add.
    static PageBody blank(const PageFormat &format);
    // Reads the fields after the header. The caller checks the version first.
    static PageBody read(const PageFormat &format, RecordReader &reader);
    // Throws TableError, naming the value, when a number text does not convert.
    void write(const PageFormat &format, RecordWriter &writer) const;

    // A straight run of fields, for bodies that interleave runs with blocks of their own:
    // readRun appends the run's values, writeRun writes values from `first` on.
    void readRun(std::span<const FieldSpec> fields, RecordReader &reader);
    void writeRun(std::span<const FieldSpec> fields, qsizetype first, RecordWriter &writer) const;
    // A whole record with the kind's header.
    QByteArray record(const PageFormat &format) const;

    QByteArray name() const;

    bool operator==(const PageBody &) const = default;
};
