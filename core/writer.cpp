#include "writer.h"

#include "pagedirectory.h"
#include "recordfile.h"
#include "savefile.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kOutputChunk = 1024 * 1024;

// A save visits records in list order, not file order: a source of a usual size is read
// whole at the first visit rather than piece by piece.
constexpr qint64 kReadWhole = 32 * 1024 * 1024;

// Calls visit(kind, file, offset) for every page in table order, with the file that holds its
// current record. Each source is opened at its first page: the loaded table file, then one per
// working file.
template<typename Visit>
void forEachRecord(const PageDirectory &pages, const RecordSourceOf &recordSource, Visit visit,
                   std::optional<PageKind> only = std::nullopt)
{
    std::array<std::optional<RecordFile>, kTableOrder.size() + 1> sources;
    auto sourceOf = [&](PageKind kind, bool inWorkingFile) -> RecordFile & {
        std::optional<RecordFile> &file = sources[inWorkingFile ? kindIndex(kind) + 1 : 0];
        if (!file) {
            const RecordSource source = recordSource(kind, inWorkingFile);
            file.emplace(source.path, source.description);
            if (file->size() <= kReadWhole)
                file->setWindowSize(file->size());
        }
        return *file;
    };
    for (PageKind kind : kTableOrder) {
        if (only && kind != *only)
            continue;
        const int count = pages.pageCount(kind);
        for (int position = 0; position < count; ++position) {
            const PageDirectory::Location at = pages.resolve(kind, position);
            visit(kind, sourceOf(kind, at.inWorkingFile), at.position);
        }
    }
}

} // namespace

void writeTable(const PageDirectory &pages, const RecordSourceOf &recordSource,
                const TableSink &sink, const SaveProgress &progress)
{
    const int total = pages.totalPageCount();
    QByteArray chunk;
    chunk.reserve(kOutputChunk * 2);
    int done = 0;
    int shown = 0;
    forEachRecord(pages, recordSource, [&](PageKind kind, RecordFile &file, qint64 offset) {
        ++done;
        const int percent = int((200LL * done + total) / (2LL * total)); // rounded
        if (percent != shown) {
            shown = percent;
            if (progress)
                progress(percent);
        }
        const qsizetype start = chunk.size();
        file.appendRecord(offset, chunk);
        chunk[start] = char(kind);
        if (chunk.size() >= kOutputChunk) {
            sink(chunk);
            chunk.resize(0);
        }
    });
    if (!chunk.isEmpty())
        sink(chunk);
}

QList<QByteArray> tableRecords(const PageDirectory &pages, const RecordSourceOf &recordSource,
                               std::optional<PageKind> only)
{
    QList<QByteArray> records;
    records.reserve(only ? pages.pageCount(*only) : pages.totalPageCount());
    forEachRecord(
        pages, recordSource,
        [&](PageKind kind, RecordFile &file, qint64 offset) {
            records.append(file.readRecord(offset));
            records.back()[0] = char(kind);
        },
        only);
    return records;
}

void writeTableFile(const PageDirectory &pages, const RecordSourceOf &recordSource,
                    const QString &target, const SaveProgress &progress)
{
    Q_ASSERT(pages.totalPageCount() > 0);
    SafeSave out(target);
    writeTable(
        pages, recordSource, [&](QByteArrayView bytes) { out.write(bytes); }, progress);
    out.commit();
}
