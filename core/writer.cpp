#include "writer.h"

#include "recordfile.h"
#include "savefile.h"
#include "tableerror.h"
#include "workspace.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kOutputChunk = 1024 * 1024;

// A save visits records in list order, not file order: a source of a usual size is read
// whole at the first visit rather than piece by piece.
constexpr qint64 kReadWhole = 32 * 1024 * 1024;

void readWholeIfSmall(RecordFile &file)
{
    if (file.size() <= kReadWhole)
        file.setWindowSize(file.size());
}

} // namespace

void writeTableFile(const Workspace &workspace, const QString &target, const SaveProgress &progress)
{
    const PageDirectory &pages = workspace.pages();
    const int total = pages.totalPageCount();
    if (total == 0)
        throw TableError(u"Nothing to save!"_s);

    SafeSave out(target);
    std::optional<RecordFile> table;
    std::array<std::optional<RecordFile>, kTableOrder.size()> working;
    auto sourceOf = [&](PageKind kind, bool inWorkingFile) -> RecordFile & {
        if (!inWorkingFile) {
            if (!table) {
                table.emplace(workspace.loadedPath(), u"table file"_s);
                readWholeIfSmall(*table);
            }
            return *table;
        }
        std::optional<RecordFile> &file = working[kindIndex(kind)];
        if (!file) {
            file.emplace(workspace.workingFilePath(kind),
                         u"working file \"%1\""_s.arg(kindInfo(kind).workingFile));
            readWholeIfSmall(*file);
        }
        return *file;
    };

    QByteArray chunk;
    chunk.reserve(kOutputChunk * 2);
    int done = 0;
    int shown = 0;
    for (PageKind kind : kTableOrder) {
        const int count = pages.pageCount(kind);
        for (int position = 0; position < count; ++position) {
            ++done;
            const int percent = int((200LL * done + total) / (2LL * total)); // rounded
            if (percent != shown) {
                shown = percent;
                if (progress)
                    progress(percent);
            }
            const PageDirectory::Location at = pages.resolve(kind, position);
            const qsizetype start = chunk.size();
            sourceOf(kind, at.inWorkingFile).appendRecord(at.position, chunk);
            chunk[start] = char(kind);
            if (chunk.size() >= kOutputChunk) {
                out.write(chunk);
                chunk.resize(0);
            }
        }
    }
    out.write(chunk);
    out.commit();
}
