#pragma once

#include "pagekinds.h"

#include <QList>

#include <array>

// Where the current record of every page lies. Per kind: the page count, the last slot
// handed out, the slot map (list position -> page slot) and the offset table (slot ->
// signed offset). An offset of 0 or more is a byte offset in the loaded table file; a
// negative one is the bitwise NOT of a byte offset in the kind's working file.
// Pass-through pages have no slot map: list position p is slot p + 1.
// The tables grow as needed; slots start at 1 and are never handed out twice between loads.
class PageDirectory
{
public:
    struct Location
    {
        bool inWorkingFile = false;
        qint64 position = 0; // byte offset of the record's kind byte
    };

    // The offset table's entry for a record at position in the working file.
    static constexpr qint64 workingFileOffset(qint64 position) { return ~position; }

    // All counts and slots back to 0.
    void reset();
    // A page found by the loader; returns its slot (the order of appearance).
    int recordLoadedPage(PageKind kind, qint64 tableOffset);
    void setSlotMap(PageKind kind, QList<int> slotMap);
    // Hands out new slots above the loaded ones.
    void closeLoad();

    int pageCount(PageKind kind) const { return table(kind).count; }
    int totalPageCount() const;
    int lastSlot(PageKind kind) const { return table(kind).lastSlot; }
    int slotAt(PageKind kind, int position) const;
    qint64 offsetOfSlot(PageKind kind, int slot) const;
    Location resolve(PageKind kind, int position) const;

    // A page's new record was appended to the working file; offset is its NOT q.
    void recordNewVersion(PageKind kind, int position, qint64 offset);
    // A new page's slot, its record in the working file at NOT offset; insertSlot lists it.
    int newSlot(PageKind kind, qint64 offset);
    void removePosition(PageKind kind, int position);
    // Undo and redo: the page's current record becomes the one at offset again, wherever it
    // lies; a removed page's slot comes back at position.
    void setOffsetAt(PageKind kind, int position, qint64 offset);
    void insertSlot(PageKind kind, int position, int slot);
    // Every page count to 0; the last slots stay, so slots keep increasing.
    void forgetAll();

    friend bool operator==(const PageDirectory &, const PageDirectory &) = default;

    // One kind's tables as they stand, for the session journal to keep and give back.
    struct KindTable
    {
        int count = 0;
        int lastSlot = 0;
        QList<int> slotMap; // entries at or above count have no meaning
        QList<qint64> offsets; // offsets[slot - 1]
        friend bool operator==(const KindTable &, const KindTable &) = default;
    };
    const KindTable &kindTable(PageKind kind) const { return table(kind); }
    void setKindTable(PageKind kind, KindTable kindTable) { table(kind) = std::move(kindTable); }

private:
    KindTable &table(PageKind kind) { return m_tables[kindIndex(kind)]; }
    const KindTable &table(PageKind kind) const { return m_tables[kindIndex(kind)]; }

    std::array<KindTable, kTableOrder.size()> m_tables;
};
