#pragma once

#include "pagekinds.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

// One record of a table as the walk over a table's records meets it. The loader, the text
// form, check and diff all read a table's records through this walk, so they agree on where a
// record ends, which pages the program loads and where a page's name lies.
struct TableRecord
{
    enum class Sort : quint8 {
        Page, // a known kind at the version the program reads (or cut short before it)
        OtherVersion, // a known kind at another version: the loader skips it
        UnknownKind, // a kind byte the program does not know: passed over
        ImpossibleLength, // a length too short for the header: the table is damaged
    };

    qint64 offset = 0;
    quint8 kindByte = 0;
    std::optional<PageKind> kind;
    quint32 length = 0; // bytes after the kind byte
    std::optional<quint16> version; // none where the table ends inside the header
    Sort sort = Sort::UnknownKind;
    // False for a last record that the table's end cuts short; the walk ends with it.
    bool whole = true;
    // An edited kind's page name, where the loader reads it (cut short with the record, if it
    // is); valid until the walk moves on.
    QByteArrayView name;
    bool nameRunsPast = false; // no NUL ends the name within the record

    qint64 size() const { return 1 + qint64(length); }
    // A page the program lists in an editor.
    bool isLoadedPage() const { return whole && sort == Sort::Page && isEdited(*kind); }
};

// What the header at offset says, from the up to RecordHeader::size bytes there.
TableRecord recordAt(qint64 offset, QByteArrayView header, qint64 tableSize);

// Walks the records of a source of table bytes (a RecordFile, or MemoryTable below) in order
// and calls visit(const TableRecord &) for each; a record that is not whole is the last.
template<typename Source, typename Visit> void walkRecords(Source &source, Visit &&visit)
{
    for (qint64 offset = 0; offset < source.size();) {
        TableRecord record =
            recordAt(offset, source.bytesAt(offset, RecordHeader::size), source.size());
        if (record.kind && isEdited(*record.kind) &&
            record.sort != TableRecord::Sort::ImpossibleLength) {
            const qint64 start = offset + RecordHeader::size + kindInfo(*record.kind).nameOffset;
            const qint64 nul = source.findNul(start, offset + record.size());
            record.nameRunsPast = nul < 0;
            if (nul >= 0)
                record.name = source.bytesAt(start, nul - start);
        }
        visit(record);
        if (!record.whole)
            break;
        offset += record.size();
    }
}

// A table's bytes in memory, as a source of the walk.
class MemoryTable
{
public:
    explicit MemoryTable(QByteArrayView bytes)
        : m_bytes(bytes)
    { }

    qint64 size() const { return m_bytes.size(); }
    QByteArrayView bytesAt(qint64 offset, qint64 count) const
    {
        return offset >= size() ? QByteArrayView()
                                : m_bytes.sliced(offset, qMin(count, size() - offset));
    }
    // "damaged table file: record at byte <offset> <what>", as a RecordFile says it.
    [[noreturn]] void damaged(qint64 offset, const QString &what) const;
    qint64 findNul(qint64 from, qint64 limit) const
    {
        const qsizetype at =
            from < limit ? m_bytes.first(qMin(limit, size())).indexOf('\0', from) : -1;
        return at;
    }

private:
    QByteArrayView m_bytes;
};

// The same walk over a table's bytes in memory.
template<typename Visit> void walkRecords(QByteArrayView table, Visit &&visit)
{
    MemoryTable source(table);
    walkRecords(source, std::forward<Visit>(visit));
}

// A record on its own, as the walk describes it.
inline TableRecord describeRecord(QByteArrayView record)
{
    TableRecord described;
    walkRecords(record, [&](const TableRecord &first) {
        if (first.offset == 0)
            described = first;
    });
    return described;
}
