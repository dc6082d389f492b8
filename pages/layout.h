#pragma once

#include "pagefields.h"

#include <vector>

// A page body, or a block within one, declared as an ordered list of items that one routine
// reads and writes. Positions come from the list; nothing is counted by hand.
//
// An item is one of:
// - a field, shown by the editor;
// - a hidden value, read, kept and written back, never shown;
// - a block: entries of another layout (physics, lighting, procedural data, ...), a fixed
//   number of them, or as many as an earlier value counts;
// and an item may be present only when the values read before it say so.

struct Layout;
struct Values;

// What a value before an item says about whether the item is there.
using Presence = bool (*)(const Values &before);

struct Item
{
    enum class Kind : quint8 { Field, Hidden, Block };

    Kind kind;
    FieldSpec field {}; // Field, Hidden
    const Layout *block = nullptr; // Block: the layout of one entry
    int count = 1; // Block: the number of entries, unless counted
    // Block: counted by the value of this earlier item, which is written as the entries' number.
    int countedBy = -1;
    int maxCount = 0; // a counted block: more is a damaged page
    const char *countedWhat = nullptr; // a counted block, for that message: "procedural block"
    const char *entryName = nullptr; // ... and "elements"
    // Block: present exactly when it has entries, which these bits of an earlier mask say.
    int flagItem = -1;
    quint32 flagMask = 0;
    // Present only when this holds for the values before it.
    Presence present = nullptr;
};

constexpr Item field(const char *key, FieldSpec declared)
{
    declared.key = key;
    return { Item::Kind::Field, declared };
}
constexpr Item hidden(const char *key, FieldSpec declared)
{
    declared.key = key;
    return { Item::Kind::Hidden, declared };
}
constexpr Item block(const Layout &layout, int count = 1)
{
    return { .kind = Item::Kind::Block, .block = &layout, .count = count };
}
constexpr Item countedBlock(const Layout &layout, int countedBy, int maxCount,
                            const char *countedWhat, const char *entryName)
{
    return { .kind = Item::Kind::Block,
             .block = &layout,
             .countedBy = countedBy,
             .maxCount = maxCount,
             .countedWhat = countedWhat,
             .entryName = entryName };
}
constexpr Item flaggedBlock(const Layout &layout, int flagItem, quint32 flagMask)
{
    return {
        .kind = Item::Kind::Block, .block = &layout, .flagItem = flagItem, .flagMask = flagMask
    };
}
// Short forms of the usual fields: a text, and numbers checked when their field is left.
constexpr Item textField(const char *key, const char *caption, const char *hint)
{
    return field(key, { FieldEncoding::String, caption, hint });
}
constexpr Item floatField(const char *key, const char *caption, const char *hint)
{
    return field(key, { FieldEncoding::Float, caption, hint, NumberField::Float });
}
constexpr Item intField(const char *key, const char *caption, const char *hint)
{
    return field(key, { FieldEncoding::Int, caption, hint, NumberField::Integer });
}
constexpr Item wordField(const char *key, const char *caption, const char *hint)
{
    return field(key, { FieldEncoding::Word, caption, hint, NumberField::Integer });
}
constexpr Item byteField(const char *key, const char *caption, const char *hint)
{
    return field(key, { FieldEncoding::Byte, caption, hint, NumberField::Integer });
}
// The kinds a name refers to. What fires, spawns or is spewed may be a weapon or a generic
// object.
inline constexpr KindSet soundPages = { PageKind::Sound };
inline constexpr KindSet texturePages = { PageKind::Texture };
inline constexpr KindSet objectPages = { PageKind::Weapon, PageKind::Generic };

// A text that holds the name of a page of one of these kinds.
constexpr Item refersTo(KindSet kinds, Item item)
{
    item.field.refersTo = kinds;
    return item;
}
constexpr Item when(Item item, Presence present)
{
    item.present = present;
    return item;
}

struct Layout
{
    std::span<const Item> items;
    // A block's key in a page as text; a page body has none.
    const char *name = nullptr;

    int size() const { return int(items.size()); }
    const Item &operator[](int item) const { return items[size_t(item)]; }
};

// The value of one item: a field's or hidden value, or a block's entries.
struct Value
{
    FieldValue field;
    std::vector<Values> entries;

    bool operator==(const Value &) const;
};

// The values of one entry of a layout: one per item, in the layout's order.
struct Values
{
    std::vector<Value> items;

    FieldValue &field(int item) { return items[size_t(item)].field; }
    const FieldValue &field(int item) const { return items[size_t(item)].field; }
    std::vector<Values> &entries(int item) { return items[size_t(item)].entries; }
    const std::vector<Values> &entries(int item) const { return items[size_t(item)].entries; }

    bool operator==(const Values &) const = default;
};

// A new page's values: each field's initial value, a fixed block's entries made the same way,
// a counted block with as many entries as its count's initial value, a flagged block absent.
Values blankValues(const Layout &layout);
// Reads an entry of the layout after the fields before it. Throws TableError for a damaged
// page: a field past the record's end, a count above its maximum.
Values readValues(const Layout &layout, RecordReader &reader);
// Writes the entry. Counts are written as the number of entries they count, and the flag of a
// flagged block as whether it has entries, so a record never announces what it does not hold.
// An item whose presence does not hold is left out; one that holds but was absent when read is
// written with a new page's value.
void writeValues(const Layout &layout, const Values &values, RecordWriter &writer);
