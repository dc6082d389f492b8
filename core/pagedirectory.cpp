#include "pagedirectory.h"

void PageDirectory::reset()
{
    m_tables = {};
}

int PageDirectory::recordLoadedPage(PageKind kind, qint64 tableOffset)
{
    Q_ASSERT(tableOffset >= 0);
    KindTable &t = table(kind);
    ++t.count;
    if (t.offsets.size() < t.count)
        t.offsets.resize(t.count);
    t.offsets[t.count - 1] = tableOffset;
    return t.count;
}

void PageDirectory::setSlotMap(PageKind kind, QList<int> slotMap)
{
    KindTable &t = table(kind);
    Q_ASSERT(isEdited(kind) && slotMap.size() == t.count);
    t.slotMap = std::move(slotMap);
}

void PageDirectory::closeLoad()
{
    for (PageKind kind : kEditedKinds) {
        KindTable &t = table(kind);
        t.lastSlot = t.count;
    }
}

int PageDirectory::totalPageCount() const
{
    int total = 0;
    for (const KindTable &t : m_tables)
        total += t.count;
    return total;
}

int PageDirectory::slotAt(PageKind kind, int position) const
{
    const KindTable &t = table(kind);
    Q_ASSERT(position >= 0 && position < t.count);
    return isEdited(kind) ? t.slotMap.at(position) : position + 1;
}

qint64 PageDirectory::offsetOfSlot(PageKind kind, int slot) const
{
    return table(kind).offsets.at(slot - 1);
}

PageDirectory::Location PageDirectory::resolve(PageKind kind, int position) const
{
    const qint64 offset = offsetOfSlot(kind, slotAt(kind, position));
    if (offset >= 0)
        return { false, offset };
    return { true, ~offset };
}

void PageDirectory::recordNewVersion(PageKind kind, int position, qint64 offset)
{
    Q_ASSERT(isEdited(kind) && offset < 0);
    KindTable &t = table(kind);
    t.offsets[slotAt(kind, position) - 1] = offset;
}

int PageDirectory::newSlot(PageKind kind, qint64 offset)
{
    Q_ASSERT(isEdited(kind) && offset < 0);
    KindTable &t = table(kind);
    ++t.lastSlot;
    t.offsets.resize(qMax<qsizetype>(t.offsets.size(), t.lastSlot));
    t.offsets[t.lastSlot - 1] = offset;
    return t.lastSlot;
}

void PageDirectory::removePosition(PageKind kind, int position)
{
    KindTable &t = table(kind);
    Q_ASSERT(isEdited(kind) && position >= 0 && position < t.count);
    t.slotMap.remove(position);
    --t.count;
}

void PageDirectory::setOffsetAt(PageKind kind, int position, qint64 offset)
{
    Q_ASSERT(isEdited(kind));
    table(kind).offsets[slotAt(kind, position) - 1] = offset;
}

void PageDirectory::insertSlot(PageKind kind, int position, int slot)
{
    KindTable &t = table(kind);
    Q_ASSERT(isEdited(kind) && position >= 0 && position <= t.count && slot >= 1 &&
             slot <= t.lastSlot);
    t.slotMap.resize(t.count);
    t.slotMap.insert(position, slot);
    ++t.count;
}

void PageDirectory::forgetAll()
{
    for (KindTable &t : m_tables)
        t.count = 0;
}
