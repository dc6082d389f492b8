#pragma once

#include "pagefields.h"

#include <QLatin1StringView>

#include <array>
#include <vector>

// A page body, or a block within one, declared as an ordered list of items that one walk
// serves for reading, writing, new pages, the text form and every field walk. Positions come
// from the list; nothing is counted by hand.

struct Layout;
struct Values;

// What a value before an item says about whether the item is there.
using Presence = bool (*)(const Values &before);

struct Item
{
    enum class Sort : quint8 {
        Field, // shown by the editor
        Hidden, // read, kept and written back, never shown
        FixedBlock, // `count` entries of another layout
        CountedBlock, // as many entries as the field `dependsOn` says, which is written so
        FlaggedBlock, // one entry exactly when the field `dependsOn` has the bits `flagMask`
    };

    Sort sort;
    FieldSpec field {}; // Field, Hidden
    const Layout *block = nullptr; // a block: the layout of one entry
    int count = 1; // FixedBlock
    // CountedBlock, FlaggedBlock: the key of the field before it that counts or flags it.
    const char *dependsOn = nullptr;
    int maxCount = 0; // CountedBlock: more is a damaged page
    const char *countedWhat = nullptr; // ... for that message: "procedural block"
    const char *entryName = nullptr; // ... and "elements"
    quint32 flagMask = 0; // FlaggedBlock
    // A block: what the window that shows it calls it ("Physics"), with %1 for an entry's
    // number from 1 in a list ("Spew #%1"); none when its fields show among those of the entry
    // that holds it.
    const char *caption = nullptr;
    // A list that runs through the entries of a list the window navigates, `run` entries to each
    // (a generic object's gunpoint names, battery by battery): the caption numbers that outer
    // entry, and this what the window calls an entry within its run ("Gunpoint %1").
    const char *runCaption = nullptr;
    int run = 0;
    // Any item: present only when this holds for the values before it.
    Presence present = nullptr;

    bool isBlock() const { return sort >= Sort::FixedBlock; }
    // A block whose entries are a list: counted, or fixed at other than one.
    bool isList() const
    {
        return sort == Sort::CountedBlock || (sort == Sort::FixedBlock && count != 1);
    }
};

constexpr Item field(const char *key, FieldSpec declared)
{
    declared.key = key;
    return { Item::Sort::Field, declared };
}
constexpr Item hidden(const char *key, FieldSpec declared)
{
    declared.key = key;
    return { Item::Sort::Hidden, declared };
}
constexpr Item block(const Layout &layout, int count = 1)
{
    return { .sort = Item::Sort::FixedBlock, .block = &layout, .count = count };
}
constexpr Item countedBlock(const Layout &layout, const char *countKey, int maxCount,
                            const char *countedWhat, const char *entryName)
{
    return { .sort = Item::Sort::CountedBlock,
             .block = &layout,
             .dependsOn = countKey,
             .maxCount = maxCount,
             .countedWhat = countedWhat,
             .entryName = entryName };
}
constexpr Item flaggedBlock(const Layout &layout, const char *flagKey, quint32 flagMask)
{
    return { .sort = Item::Sort::FlaggedBlock,
             .block = &layout,
             .dependsOn = flagKey,
             .flagMask = flagMask };
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
constexpr Item captioned(const char *caption, Item block)
{
    block.caption = caption;
    return block;
}
constexpr Item captioned(const char *caption, int run, const char *runCaption, Item block)
{
    block.caption = caption;
    block.run = run;
    block.runCaption = runCaption;
    return block;
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
    // The position of the field with this key, or -1.
    int indexOf(QLatin1StringView key) const;
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

// One item of an entry as the walk over the entry meets it.
struct ItemStep
{
    enum class Role : quint8 {
        Value, // a field's or hidden value of its own
        Count, // a field that counts the entries of the block `other`
        Flag, // a field whose bits say whether the block `other` has its entry
        Block,
    };

    int index;
    const Item &item;
    Role role;
    int other = -1; // Count, Flag: the block; a counted or flagged block: its field
};

// Calls visit(const ItemStep &) for each item of the entry whose presence holds for the values
// before it, in order. Values filled in by the visit count for the items after it, so reading
// walks the same way as writing.
template<typename Visit> void walkItems(const Layout &layout, const Values &values, Visit &&visit)
{
    // Which fields count or flag a block: mostly none.
    constexpr int most = 64;
    Q_ASSERT(layout.size() <= most);
    std::array<qint8, most> other;
    other.fill(-1);
    for (int i = 0; i < layout.size(); ++i) {
        if (layout[i].dependsOn) {
            const int field = layout.indexOf(QLatin1StringView(layout[i].dependsOn));
            Q_ASSERT(field >= 0 && field < i);
            other[size_t(field)] = qint8(i);
            other[size_t(i)] = qint8(field);
        }
    }
    for (int i = 0; i < layout.size(); ++i) {
        const Item &item = layout[i];
        if (item.present && !item.present(values))
            continue;
        ItemStep::Role role = ItemStep::Role::Block;
        if (!item.isBlock())
            role = other[size_t(i)] < 0                                     ? ItemStep::Role::Value
                : layout[other[size_t(i)]].sort == Item::Sort::CountedBlock ? ItemStep::Role::Count
                                                                            : ItemStep::Role::Flag;
        visit(ItemStep { i, item, role, other[size_t(i)] });
    }
}

// The same walk over an entry being filled in: a field the walk passes over, absent from this
// page, gets a new page's value first, so that every field has a value when it ends.
template<typename Visit> void fillItems(const Layout &layout, Values &values, Visit &&visit)
{
    int next = 0;
    const auto absentUpTo = [&](int end) {
        for (; next < end; ++next)
            if (!layout[next].isBlock())
                values.field(next) = initialValue(layout[next].field);
    };
    walkItems(layout, values, [&](const ItemStep &step) {
        absentUpTo(step.index);
        next = step.index + 1;
        visit(step);
    });
    absentUpTo(layout.size());
}

// The drop-down items of a choice in an entry: those the entry's earlier choice picks when that
// decides them, none when the entry is not known or picks no list.
std::span<const ChoiceItem> choicesOf(const FieldSpec &field, const Values *entry);

// A new page's values: each field's initial value, a fixed block's entries made the same way,
// a counted block with as many entries as its count's initial value, a flagged block absent.
Values blankValues(const Layout &layout);
// How many entries of a block a page holds, from the values read before it. Throws TableError
// for a count above the block's maximum.
int entriesToRead(const ItemStep &step, const Values &values);
// Reads an entry of the layout after the fields before it. Throws TableError for a damaged
// page: a field past the record's end, a count above its maximum.
Values readValues(const Layout &layout, RecordReader &reader);
// Writes the entry. Counts are written as the number of entries they count, and the flag of a
// flagged block as whether it has entries, so a record never announces what it does not hold.
// An item whose presence does not hold is left out; one that holds but was absent when read is
// written with a new page's value.
void writeValues(const Layout &layout, const Values &values, RecordWriter &writer);
