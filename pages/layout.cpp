#include "layout.h"

#include "tableerror.h"

using namespace Qt::StringLiterals;

bool Value::operator==(const Value &other) const
{
    return field == other.field && entries == other.entries;
}

int Layout::indexOf(QLatin1StringView key) const
{
    for (int i = 0; i < size(); ++i)
        if (!items[size_t(i)].isBlock() && key == QLatin1StringView(items[size_t(i)].field.key))
            return i;
    return -1;
}

Values blankValues(const Layout &layout)
{
    Values values;
    values.items.resize(size_t(layout.size()));
    for (int i = 0; i < layout.size(); ++i)
        if (!layout[i].isBlock())
            values.field(i) = initialValue(layout[i].field);
    // A fixed block has its entries, a counted one as many as its count's initial value; a
    // flagged one is absent.
    walkItems(layout, values, [&](const ItemStep &step) {
        const Item &item = step.item;
        if (item.sort == Item::Sort::FixedBlock || item.sort == Item::Sort::CountedBlock) {
            const int count = item.sort == Item::Sort::FixedBlock
                ? item.count
                : int(NumberText::intForWriting(numberText(values.field(step.other))));
            values.entries(step.index).assign(size_t(count), blankValues(*item.block));
        }
    });
    return values;
}

int entriesToRead(const ItemStep &step, const Values &values)
{
    const Item &item = step.item;
    if (item.sort == Item::Sort::FlaggedBlock)
        return maskOf(values.field(step.other)) & item.flagMask ? 1 : 0;
    if (item.sort != Item::Sort::CountedBlock)
        return item.count;
    const int count = int(std::get<NumberValue>(values.field(step.other)).stored());
    if (count > item.maxCount)
        throw TableError(u"damaged page: its %1 lists %2 %3; at most %4 are allowed"_s
                             .arg(QLatin1StringView(item.countedWhat))
                             .arg(count)
                             .arg(QLatin1StringView(item.entryName))
                             .arg(item.maxCount));
    return count;
}

Values readValues(const Layout &layout, RecordReader &reader)
{
    Values values;
    values.items.resize(size_t(layout.size()));
    fillItems(layout, values, [&](const ItemStep &step) {
        const Item &item = step.item;
        if (!item.isBlock()) {
            values.field(step.index) = readField(item.field, reader);
            return;
        }
        const int count = entriesToRead(step, values);
        std::vector<Values> &entries = values.entries(step.index);
        entries.reserve(size_t(count));
        for (int entry = 0; entry < count; ++entry)
            entries.push_back(readValues(*item.block, reader));
    });
    return values;
}

void writeValues(const Layout &layout, const Values &values, RecordWriter &writer)
{
    Q_ASSERT(values.items.size() == size_t(layout.size()));
    walkItems(layout, values, [&](const ItemStep &step) {
        const Item &item = step.item;
        switch (step.role) {
        case ItemStep::Role::Value:
            writeField(item.field, values.field(step.index), writer);
            return;
        case ItemStep::Role::Count: {
            const size_t entries = values.entries(step.other).size();
            Q_ASSERT(int(entries) <= layout[step.other].maxCount);
            FieldValue count = values.field(step.index);
            std::get<NumberValue>(count).setText(QString::number(entries));
            writeField(item.field, count, writer);
            return;
        }
        case ItemStep::Role::Flag: {
            const quint32 mask = maskOf(values.field(step.index));
            const quint32 flag = layout[step.other].flagMask;
            writeField(item.field, values.entries(step.other).empty() ? mask & ~flag : mask | flag,
                       writer);
            return;
        }
        case ItemStep::Role::Block:
            break;
        }
        const std::vector<Values> &entries = values.entries(step.index);
        Q_ASSERT(item.sort != Item::Sort::FixedBlock || entries.empty() ||
                 int(entries.size()) == item.count);
        if (item.sort != Item::Sort::FixedBlock || !entries.empty()) {
            for (const Values &entry : entries)
                writeValues(*item.block, entry, writer);
        } else {
            // Present now but absent when read: a new page's entries.
            const Values entry = blankValues(*item.block);
            for (int n = 0; n < item.count; ++n)
                writeValues(*item.block, entry, writer);
        }
    });
}

std::span<const ChoiceItem> choicesOf(const FieldSpec &field, const Values *entry)
{
    if (!field.itemsBy)
        return field.choices;
    if (!entry)
        return {};
    const quint32 list = maskOf(entry->field(field.itemsBy->item));
    return list < field.itemsBy->lists.size() ? field.itemsBy->lists[list]
                                              : std::span<const ChoiceItem>();
}
