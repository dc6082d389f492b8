#include "recordwalk.h"

#include "recordfile.h"

#include <QtEndian>

using namespace Qt::StringLiterals;

TableRecord recordAt(qint64 offset, QByteArrayView header, qint64 tableSize)
{
    TableRecord record;
    record.offset = offset;
    record.kindByte = quint8(header[0]);
    record.kind = acceptedKind(record.kindByte);
    constexpr int lengthEnd = RecordHeader::kindSize + RecordHeader::lengthSize;
    if (header.size() < lengthEnd) {
        record.whole = false;
        return record;
    }
    record.length = qFromLittleEndian<quint32>(header.data() + RecordHeader::kindSize);
    if (header.size() >= RecordHeader::size)
        record.version = qFromLittleEndian<quint16>(header.data() + lengthEnd);
    record.whole = offset + record.size() <= tableSize;
    if (record.length < RecordHeader::minimumLength)
        record.sort = TableRecord::Sort::ImpossibleLength;
    else if (record.kind)
        record.sort = !record.version || *record.version == kindInfo(*record.kind).version
            ? TableRecord::Sort::Page
            : TableRecord::Sort::OtherVersion;
    return record;
}

void MemoryTable::damaged(qint64 offset, const QString &what) const
{
    throw damagedRecord(u"table file"_s, offset, what);
}
