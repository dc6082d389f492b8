#include "layout.h"

#include "tableerror.h"

using namespace Qt::StringLiterals;

bool Value::operator==(const Value &other) const
{
    return field == other.field && entries == other.entries;
}

namespace {

// The block that this item counts or announces by a flag, and how many entries it holds.
// Blocks lie after the items that describe them.
struct Described
{
    const Item *block = nullptr;
    size_t entries = 0;
};

Described describedBlock(const Layout &layout, int item, const Values &values)
{
    for (int later = item + 1; later < layout.size(); ++later) {
        const Item &candidate = layout[later];
        if (candidate.countedBy == item || candidate.flagItem == item)
            return { &candidate, values.entries(later).size() };
    }
    return {};
}

bool isPresent(const Item &item, const Values &before)
{
    if (item.present && !item.present(before))
        return false;
    if (item.flagItem >= 0)
        return maskOf(before.field(item.flagItem)) & item.flagMask;
    return true;
}

int entryCount(const Item &item, const Values &before)
{
    if (item.countedBy < 0)
        return item.count;
    const NumberValue &count = std::get<NumberValue>(before.field(item.countedBy));
    return int(NumberText::intForWriting(count.text()));
}

} // namespace

Values blankValues(const Layout &layout)
{
    Values values;
    values.items.resize(size_t(layout.size()));
    for (int i = 0; i < layout.size(); ++i) {
        const Item &item = layout[i];
        if (item.kind != Item::Kind::Block) {
            values.field(i) = initialValue(item.field);
        } else if (item.flagItem < 0 && isPresent(item, values)) {
            const Values entry = blankValues(*item.block);
            values.entries(i).assign(size_t(entryCount(item, values)), entry);
        }
    }
    return values;
}

Values readValues(const Layout &layout, RecordReader &reader)
{
    Values values;
    values.items.resize(size_t(layout.size()));
    for (int i = 0; i < layout.size(); ++i) {
        const Item &item = layout[i];
        const bool present = isPresent(item, values);
        if (item.kind != Item::Kind::Block) {
            values.field(i) = present ? readField(item.field, reader) : initialValue(item.field);
            continue;
        }
        if (!present)
            continue;
        int count = item.count;
        if (item.countedBy >= 0) {
            count = int(std::get<NumberValue>(values.field(item.countedBy)).stored());
            if (count > item.maxCount)
                throw TableError(u"damaged page: its %1 lists %2 %3; at most %4 are allowed"_s
                                     .arg(QLatin1StringView(item.countedWhat))
                                     .arg(count)
                                     .arg(QLatin1StringView(item.entryName))
                                     .arg(item.maxCount));
        }
        std::vector<Values> &entries = values.entries(i);
        entries.reserve(size_t(count));
        for (int entry = 0; entry < count; ++entry)
            entries.push_back(readValues(*item.block, reader));
    }
    return values;
}

void writeValues(const Layout &layout, const Values &values, RecordWriter &writer)
{
    Q_ASSERT(values.items.size() == size_t(layout.size()));
    for (int i = 0; i < layout.size(); ++i) {
        const Item &item = layout[i];
        if (item.present && !item.present(values))
            continue;
        if (item.kind != Item::Kind::Block) {
            const Described described = describedBlock(layout, i, values);
            if (!described.block) {
                writeField(item.field, values.field(i), writer);
            } else if (described.block->countedBy == i) {
                Q_ASSERT(int(described.entries) <= described.block->maxCount);
                FieldValue count = values.field(i);
                std::get<NumberValue>(count).setText(QString::number(described.entries));
                writeField(item.field, count, writer);
            } else {
                const quint32 mask = maskOf(values.field(i));
                const quint32 flag = described.block->flagMask;
                writeField(item.field, described.entries ? mask | flag : mask & ~flag, writer);
            }
            continue;
        }
        const std::vector<Values> &entries = values.entries(i);
        Q_ASSERT(item.flagItem >= 0 || item.countedBy >= 0 || entries.empty() ||
                 int(entries.size()) == item.count);
        if (item.flagItem >= 0 || item.countedBy >= 0 || !entries.empty()) {
            for (const Values &entry : entries)
                writeValues(*item.block, entry, writer);
        } else {
            // Present now but absent when read: a new page's entries.
            const Values entry = blankValues(*item.block);
            for (int n = 0; n < item.count; ++n)
                writeValues(*item.block, entry, writer);
        }
    }
}
