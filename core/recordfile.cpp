#include "recordfile.h"

#include "pagekinds.h"
#include "tableerror.h"

#include <QDir>
#include <QtEndian>

#include <algorithm>
#include <cstring>

using namespace Qt::StringLiterals;

RecordFile::RecordFile(const QString &path, QString description, qint64 windowSize)
    : m_file(path)
    , m_description(std::move(description))
    , m_windowSize(windowSize)
{
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw TableError(u"Cannot open the %1 \"%2\": %3"_s.arg(
            m_description, QDir::toNativeSeparators(path), m_file.errorString()));
    m_size = m_file.size();
}

void RecordFile::readWhole()
{
    setWindowSize(m_size);
    std::shared_ptr<const MappedFile> mapped;
    if (m_map && m_map->mapping() && m_map->mapping()->bytes().size() == m_size)
        mapped = m_map->mapping();
    else
        mapped = std::make_shared<const MappedFile>(m_file.handle(), m_size);
    if (!mapped->isMapped())
        return;
    m_mapped = std::move(mapped);
    m_storage.reset();
    // The window is never written while it covers the whole file: no read falls outside it.
    m_window = const_cast<char *>(m_mapped->bytes().data());
    m_capacity = m_windowLength = m_windowSize = m_size;
    m_windowStart = 0;
}

void RecordFile::confirmReads() const
{
    if (m_mapped && m_mapped->cutShort())
        readFailed(u"the file ended early"_s);
}

TableError damagedRecord(const QString &description, qint64 offset, const QString &what)
{
    return TableError(u"damaged %1: record at byte %2 %3"_s.arg(description).arg(offset).arg(what));
}

void RecordFile::damaged(qint64 offset, const QString &what) const
{
    // Zeros read past where another program cut the mapped file short are no damage of its.
    confirmReads();
    throw damagedRecord(m_description, offset, what);
}

void RecordFile::readExactly(qint64 offset, char *into, qint64 count)
{
    // Sequential reads need no seek, which costs a system call of its own.
    const bool there = m_file.pos() == offset || m_file.seek(offset);
    const qint64 got = there ? m_file.read(into, count) : -1;
    // A file cut short since it was opened reads short without an error.
    if (got != count)
        readFailed(got >= 0 ? u"the file ended early"_s : m_file.errorString());
}

void RecordFile::readFailed(const QString &reason) const
{
    throw TableError(u"Cannot read the %1 \"%2\": %3"_s.arg(
        m_description, QDir::toNativeSeparators(m_file.fileName()), reason));
}

QByteArrayView RecordFile::bytesAt(qint64 offset, qint64 count)
{
    if (offset < 0 || offset >= m_size || count <= 0)
        return {};
    count = qMin(count, m_size - offset);
    if (offset < m_windowStart || offset + count > m_windowStart + m_windowLength)
        moveWindow(offset, count);
    return QByteArrayView(m_window + (offset - m_windowStart), count);
}

namespace {

constexpr size_t kCacheLine = 64;

char *alignedUp(void *memory, size_t alignment)
{
    return reinterpret_cast<char *>((reinterpret_cast<quintptr>(memory) + alignment - 1) &
                                    ~quintptr(alignment - 1));
}

} // namespace

RecordFile::WindowStorage RecordFile::newWindow(qint64 size, char *&window)
{
    WindowStorage memory(new char[size_t(size) + kCacheLine - 1]);
    window = alignedUp(memory.get(), kCacheLine);
    return memory;
}

// Reading on from the window's end costs no seek, so a walk through the file keeps what the
// window still holds of the bytes wanted, and reads through a short gap rather than over it.
void RecordFile::moveWindow(qint64 offset, qint64 count)
{
    const qint64 windowEnd = m_windowStart + m_windowLength;
    qint64 start = offset;
    qint64 kept = 0;
    if (offset >= m_windowStart && offset <= windowEnd)
        kept = windowEnd - offset;
    else if (offset > windowEnd && offset - windowEnd < m_windowSize)
        start = windowEnd;
    const qint64 size = qMin(qMax(offset + count - start, m_windowSize), m_size - start);
    const char *const keptBytes = kept > 0 ? m_window + (offset - m_windowStart) : nullptr;
    if (size > m_capacity) {
        char *window = nullptr;
        WindowStorage storage = newWindow(size, window);
        if (kept > 0)
            std::memcpy(window, keptBytes, size_t(kept));
        m_storage = std::move(storage);
        m_window = window;
        m_capacity = size;
    } else if (kept > 0) {
        std::memmove(m_window, keptBytes, size_t(kept));
    }
    m_windowLength = size;
    m_windowStart = start;
    try {
        readExactly(start + kept, m_window + kept, size - kept);
    } catch (...) {
        m_windowLength = 0;
        throw;
    }
}

qint64 RecordFile::findNul(qint64 from, qint64 limit)
{
    limit = qMin(limit, m_size);
    while (from < limit) {
        if (from < m_windowStart || from >= m_windowStart + m_windowLength)
            bytesAt(from, 1); // moves the window to from
        const qint64 end = qMin(limit, m_windowStart + m_windowLength);
        const QByteArrayView chunk(m_window + (from - m_windowStart), end - from);
        const qsizetype at = chunk.indexOf('\0');
        if (at >= 0)
            return from + at;
        from = end;
    }
    return -1;
}

const RecordMap::Record *RecordMap::find(qint64 offset, size_t &hint) const
{
    // The record found last, asked again for another of its fields, or the one after it.
    for (const size_t near : { hint, hint + 1 }) {
        if (near < m_records.size() && m_records[near].offset == offset) {
            hint = near;
            return &m_records[near];
        }
    }
    const auto at =
        std::lower_bound(m_records.begin(), m_records.end(), offset,
                         [](const Record &record, qint64 at) { return record.offset < at; });
    if (at == m_records.end() || at->offset != offset)
        return nullptr;
    hint = size_t(at - m_records.begin());
    return &*at;
}

// A mapped file's headers are at hand; the map is for reading none, and searching it for a
// record out of file order costs more than the header does.
quint8 RecordFile::kindByte(qint64 offset)
{
    if (m_map && !m_mapped) {
        if (const RecordMap::Record *known = m_map->find(offset, m_mapHint))
            return known->kindByte;
    }
    const QByteArrayView first = bytesAt(offset, 1);
    if (first.isEmpty())
        damaged(offset, u"runs past the end of the file"_s);
    return quint8(first[0]);
}

qint64 RecordFile::recordSize(qint64 offset)
{
    if (m_map && !m_mapped) {
        if (const RecordMap::Record *known = m_map->find(offset, m_mapHint))
            return known->size;
    }
    const QByteArrayView header =
        bytesAt(offset, RecordHeader::kindSize + RecordHeader::lengthSize);
    if (header.size() < RecordHeader::kindSize + RecordHeader::lengthSize)
        damaged(offset, u"runs past the end of the file"_s);
    const quint32 length = qFromLittleEndian<quint32>(header.data() + RecordHeader::kindSize);
    if (length < RecordHeader::minimumLength)
        damaged(offset, u"has an impossible length of %1 bytes"_s.arg(length));
    const qint64 recordSize = qint64(length) + RecordHeader::kindSize;
    if (recordSize > m_size - offset)
        damaged(offset, u"runs past the end of the file"_s);
    return recordSize;
}

void RecordFile::appendRecord(qint64 offset, QByteArray &out)
{
    appendBytes(offset, recordSize(offset), out);
}

void RecordFile::appendBytes(qint64 offset, qint64 count, QByteArray &out)
{
    const qsizetype start = out.size();
    out.resize(start + count);
    if (count <= m_windowSize) {
        const QByteArrayView bytes = bytesAt(offset, count);
        if (bytes.size() < count) {
            out.resize(start);
            readFailed(u"the file ended early"_s);
        }
        std::memcpy(out.data() + start, bytes.data(), count);
    } else {
        try {
            readExactly(offset, out.data() + start, count);
        } catch (...) {
            out.resize(start);
            throw;
        }
    }
}

QByteArray RecordFile::readRecord(qint64 offset)
{
    QByteArray record;
    appendRecord(offset, record);
    return record;
}
