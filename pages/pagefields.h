#pragma once

#include "fieldcodecs.h"
#include "numbertext.h"
#include "pagekinds.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <initializer_list>
#include <optional>
#include <span>
#include <variant>

// One field of a page body, declared as data: how it is stored, how the editor shows it and
// what it accepts. One piece of code reads and writes fields and builds the controls from them.

enum class FieldEncoding : quint8 {
    String, // NUL-terminated text
    Int, // i32 shown as integer text
    Float, // f32 shown as float text
    Byte, // u8 shown as integer text; writes keep the low 8 bits
    Word, // u16 shown as integer text; writes keep the low 16 bits
    IntBits, // i32 bit set shown as a check list
    WordBits, // u16 bit set shown as a check list
    ByteBits, // u8 bit set shown as a check list
    Choice, // u8 code shown as a drop-down
};

// An integer field's range, checked when the field is left.
struct IntRange
{
    qint32 min;
    qint32 max;
    const char *message;
};

// A drop-down item of a choice: what it shows and the code it stores.
struct ChoiceItem
{
    const char *name;
    quint8 code;
};

// The drop-down items of a choice that an earlier choice of the same layout picks: list i
// while that choice stores i.
struct ItemsBy
{
    int item;
    std::span<const std::span<const ChoiceItem>> lists;
};

// A set of page kinds: the kinds whose page names a text may hold.
class KindSet
{
public:
    constexpr KindSet() = default;
    constexpr KindSet(std::initializer_list<PageKind> kinds)
    {
        for (const PageKind kind : kinds)
            m_bits |= quint8(1u << kindIndex(kind));
    }

    constexpr bool contains(PageKind kind) const { return m_bits & (1u << kindIndex(kind)); }
    constexpr bool isEmpty() const { return m_bits == 0; }
    friend constexpr bool operator==(KindSet, KindSet) = default;

private:
    quint8 m_bits = 0;
};

struct FieldSpec
{
    FieldEncoding encoding;
    const char *caption;
    const char *hint;
    // The focus-out check of an edit field, if the field has one.
    std::optional<NumberField> check = std::nullopt;
    // The check-list items of a bit set: item i is bit i.
    std::span<const char *const> items = {};
    // The drop-down items of a choice.
    std::span<const ChoiceItem> choices = {};
    // Said instead of the standard message when the check fails.
    const char *checkMessage = nullptr;
    std::optional<IntRange> range = std::nullopt;
    // A value whose meaning nobody knows: its check list shows every item checked, its
    // drop-down its first item, whatever the value, and the value is kept as read.
    bool unknown = false;
    // The value of a new page.
    qint32 initial = 0;
    // A choice whose items depend on an earlier choice; `items` are then unused.
    const ItemsBy *itemsBy = nullptr;
    // The name the text form and every tool use: lower-case ASCII words joined by "_", unique
    // in its layout, correct where the caption is not, and never changed with the caption.
    const char *key = nullptr;
    // The kinds whose page names the text holds; empty for a field that names no page.
    KindSet refersTo = {};
};

// The items of a value whose meaning nobody knows.
inline constexpr std::array<const char *, 1> kUnknownItems = { "Unknown" };
inline constexpr std::array<ChoiceItem, 1> kUnknownChoices = { { { "Unknown", 0 } } };
constexpr FieldSpec unknownField(FieldEncoding encoding, const char *caption, const char *hint)
{
    return { .encoding = encoding,
             .caption = caption,
             .hint = hint,
             .items = kUnknownItems,
             .choices = kUnknownChoices,
             .unknown = true };
}

bool isBitSet(FieldEncoding encoding);
bool isNumber(FieldEncoding encoding);
// The largest value a field of the encoding stores, as an unsigned number.
quint32 widestValue(FieldEncoding encoding);

// The longest text the game's own lists show; a longer one is kept whole, and marked.
inline constexpr int kShownTextLength = 35;

// A number as the editor holds it: the value it was read as and, once the user typed another,
// the text typed. A value nobody changed is written back as read, so a float is not rounded to
// the four digits it is shown with; its text is made only when it is shown.
class NumberValue
{
public:
    NumberValue(FieldEncoding encoding, quint32 stored)
        : m_encoding(encoding)
        , m_stored(stored)
    { }

    FieldEncoding encoding() const { return m_encoding; }
    quint32 stored() const { return m_stored; }
    bool isTyped() const { return !m_typed.isNull(); }
    // The value as read, exactly, when the text it is shown with stands for another value (a
    // float cut to four digits); empty otherwise.
    QString exactText() const;
    // The text typed, or the one the value as read is shown with.
    QString text() const;
    // A text that is the one shown for the value as read leaves that value.
    void setText(const QString &text);

    bool operator==(const NumberValue &) const = default;

private:
    FieldEncoding m_encoding;
    quint32 m_stored;
    QString m_typed;
};

// A field's value: the bytes of a text, a number, or the mask or code of a bit set or choice.
using FieldValue = std::variant<QByteArray, NumberValue, quint32>;

// One field's value, read or written by its encoding. Writing throws TableError, naming the
// value, when a number text does not convert.
FieldValue readField(const FieldSpec &field, RecordReader &reader);
void writeField(const FieldSpec &field, const FieldValue &value, RecordWriter &writer);
// The value of a new page.
FieldValue initialValue(const FieldSpec &field);

// Accessors for the value kinds.
QString numberText(const FieldValue &value);
quint32 maskOf(const FieldValue &value);
const QByteArray &textOf(const FieldValue &value);

// The check of a number field's text when it is left: the number check with the field's own
// message, then its range. std::nullopt when the text is acceptable.
std::optional<QString> checkField(const FieldSpec &field, QStringView text);

// The bits of a mask that the field's items stand for.
quint32 itemMask(const FieldSpec &field);
// The drop-down item of a stored code, or -1 when the code has none.
int choiceIndex(std::span<const ChoiceItem> choices, quint32 code);
