#include "writer.h"

#include "pagedirectory.h"
#include "recordfile.h"
#include "savefile.h"

#include <deque>
#include <optional>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kOutputChunk = 1024 * 1024;

// tableRecords visits records in list order, not file order, and keeps them all: a source of a
// usual size is mapped whole at the first visit (read whole where it cannot be) rather than
// read piece by piece.
constexpr qint64 kReadWhole = 32 * 1024 * 1024;

// A save reads only the headers of the records it copies, and none of those its load found,
// through a window that starts small for a record here and there and grows while the records
// follow one another.
constexpr qint64 kSmallWindow = 4 * 1024;
constexpr qint64 kLargeWindow = 256 * 1024;

// Shorter runs cost less through the buffer than in a system call of their own.
constexpr qint64 kKernelCopy = 64 * 1024;

// The files that hold the current records: the loaded table file and one per working file,
// each opened at its first record.
class RecordSources
{
public:
    RecordSources(const RecordSourceOf &recordSource, qint64 readWhole)
        : m_recordSource(recordSource)
        , m_readWhole(readWhole)
    { }

    RecordFile &of(PageKind kind, bool inWorkingFile)
    {
        std::optional<RecordFile> &file = m_files[inWorkingFile ? kindIndex(kind) + 1 : 0];
        if (!file) {
            const RecordSource source = m_recordSource(kind, inWorkingFile);
            file.emplace(source.path, source.description);
            file->setRecordMap(source.records);
            if (file->size() <= m_readWhole)
                file->readWhole();
            else
                file->setWindowSize(kSmallWindow);
        }
        return *file;
    }

    // Throws if a file read from its mapping was cut short meanwhile.
    void confirmReads() const
    {
        for (const std::optional<RecordFile> &file : m_files) {
            if (file)
                file->confirmReads();
        }
    }

private:
    const RecordSourceOf &m_recordSource;
    qint64 m_readWhole;
    std::array<std::optional<RecordFile>, kTableOrder.size() + 1> m_files;
};

// Calls visit(kind, file, offset) for every page in table order, with the file that holds its
// current record.
template<typename Visit>
void forEachRecord(const PageDirectory &pages, RecordSources &sources, Visit visit,
                   std::optional<PageKind> only = std::nullopt)
{
    for (PageKind kind : kTableOrder) {
        if (only && kind != *only)
            continue;
        const int count = pages.pageCount(kind);
        for (int position = 0; position < count; ++position) {
            const PageDirectory::Location at = pages.resolve(kind, position);
            visit(kind, sources.of(kind, at.inWorkingFile), at.position);
        }
    }
}

// Writes records in table order. With runs, runs of records that follow one another in their
// source and carry their kind's byte go to the kernel to copy when long, through one reused
// buffer when short; a record whose kind byte differs is copied through the buffer with its
// kind's byte. Without, records are gathered where they lie, see addPiece.
class TableOutput
{
public:
    TableOutput(SafeSave &out, bool runs)
        : m_out(out)
        , m_runs(runs)
    {
        if (runs)
            m_chunk.reserve(kOutputChunk + kLargeWindow);
    }

    void add(PageKind kind, RecordFile &file, qint64 offset)
    {
        if (!m_runs) {
            addPiece(kind, file, offset);
            return;
        }
        const bool follows = &file == m_runFile && offset == m_runEnd;
        file.setWindowSize(follows ? qMin(file.windowSize() * 2, kLargeWindow) : kSmallWindow);
        const qint64 size = file.recordSize(offset);
        if (file.kindByte(offset) == quint8(kind)) {
            if (follows) {
                m_runEnd += size;
                return;
            }
            endRun();
            m_runFile = &file;
            m_runStart = offset;
            m_runEnd = offset + size;
            return;
        }
        endRun();
        const qsizetype start = m_chunk.size();
        file.appendBytes(offset, size, m_chunk);
        m_chunk[start] = char(kind);
        writeChunkIfFull();
    }

    void finish()
    {
        endRun();
        if (!m_chunk.isEmpty())
            m_out.write(m_chunk);
        writePieces();
    }

private:
    // Out of file order, a record goes to the kernel from the mapping it lies in, unless its
    // kind byte changes or its file is not mapped: then from a copy of its own.
    void addPiece(PageKind kind, RecordFile &file, qint64 offset)
    {
        const qint64 size = file.recordSize(offset);
        if (file.mapping() && file.kindByte(offset) == quint8(kind)) {
            const QByteArrayView bytes = file.bytesAt(offset, size);
            if (bytes.size() < size)
                file.readFailed(u"the file ended early"_s);
            m_pieces.push_back(bytes);
        } else {
            QByteArray &copy = m_copies.emplace_back();
            file.appendBytes(offset, size, copy);
            copy[0] = char(kind);
            m_pieces.push_back(copy);
        }
        m_pieceBytes += size;
        if (m_pieceBytes >= kOutputChunk)
            writePieces();
    }

    void writePieces()
    {
        if (m_pieces.empty())
            return;
        m_out.writeGathered(m_pieces);
        m_pieces.clear();
        m_copies.clear();
        m_pieceBytes = 0;
    }

    void endRun()
    {
        if (!m_runFile)
            return;
        RecordFile &file = *std::exchange(m_runFile, nullptr);
        const qint64 size = m_runEnd - m_runStart;
        if (size < kKernelCopy) {
            file.appendBytes(m_runStart, size, m_chunk);
            writeChunkIfFull();
            return;
        }
        if (!m_chunk.isEmpty()) {
            m_out.write(m_chunk);
            m_chunk.resize(0);
        }
        int readError = 0;
        if (m_out.copyFrom(file.handle(), m_runStart, size, readError) != size)
            file.readFailed(readError ? qt_error_string(readError) : u"the file ended early"_s);
    }

    void writeChunkIfFull()
    {
        if (m_chunk.size() >= kOutputChunk) {
            m_out.write(m_chunk);
            m_chunk.resize(0);
        }
    }

    SafeSave &m_out;
    const bool m_runs;
    QByteArray m_chunk;
    std::vector<QByteArrayView> m_pieces;
    std::deque<QByteArray> m_copies; // which m_pieces may view
    qint64 m_pieceBytes = 0;
    RecordFile *m_runFile = nullptr;
    qint64 m_runStart = 0;
    qint64 m_runEnd = 0;
};

// Whether the records of the loaded table file are visited mostly in file order, as in a table
// this program wrote. If not, reading that file whole once costs less than a read per record.
bool followsTableFile(const PageDirectory &pages)
{
    qint64 last = -1;
    int visited = 0;
    int backwards = 0;
    for (PageKind kind : kTableOrder) {
        const int count = pages.pageCount(kind);
        for (int position = 0; position < count; ++position) {
            const PageDirectory::Location at = pages.resolve(kind, position);
            if (at.inWorkingFile)
                continue;
            ++visited;
            backwards += at.position < last;
            last = at.position;
        }
    }
    return backwards * 8 <= visited;
}

} // namespace

QList<QByteArray> tableRecords(const PageDirectory &pages, const RecordSourceOf &recordSource,
                               std::optional<PageKind> only)
{
    QList<QByteArray> records;
    records.reserve(only ? pages.pageCount(*only) : pages.totalPageCount());
    RecordSources sources(recordSource, kReadWhole);
    forEachRecord(
        pages, sources,
        [&](PageKind kind, RecordFile &file, qint64 offset) {
            records.append(file.readRecord(offset));
            records.back()[0] = char(kind);
        },
        only);
    sources.confirmReads();
    return records;
}

void writeTableFile(const PageDirectory &pages, const RecordSourceOf &recordSource,
                    const QString &target, const SaveProgress &progress)
{
    Q_ASSERT(pages.totalPageCount() > 0);
    SafeSave out(target);
    const bool runs = followsTableFile(pages);
    RecordSources sources(recordSource, runs ? 0 : kReadWhole);
    TableOutput output(out, runs);
    const int total = pages.totalPageCount();
    int done = 0;
    int shown = 0;
    forEachRecord(pages, sources, [&](PageKind kind, RecordFile &file, qint64 offset) {
        ++done;
        const int percent = int((200LL * done + total) / (2LL * total)); // rounded
        if (percent != shown) {
            shown = percent;
            if (progress)
                progress(percent);
        }
        output.add(kind, file, offset);
    });
    output.finish();
    sources.confirmReads();
    out.commit();
}
