// Fuzz target: the loader's walk over any bytes. A table that loads must also read every page
// it lists, save, and load again with the same pages: the walk may only accept what the rest of
// the engine can carry.

#include "fuzzcheck.h"
#include "tableerror.h"
#include "workspace.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>

using namespace Qt::StringLiterals;

namespace {

// The loader reads a path, so each input is written to one file that every run reuses.
struct Scratch
{
    Scratch() { QLocale::setDefault(QLocale::c()); }

    QTemporaryDir dir;
    QString table = dir.filePath(u"input.gam"_s);
    QString saved = dir.filePath(u"saved.gam"_s);
};

Scratch &scratch()
{
    static Scratch s;
    return s;
}

void writeInput(const QString &path, const uint8_t *data, size_t size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size)) {
        fuzzFailure("the scratch file can be written", file.errorString().toUtf8(), __FILE__,
                    __LINE__);
    }
}

QList<QByteArrayView> sortedBytewise(const NameList &list)
{
    QList<QByteArrayView> names(list.begin(), list.end());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Scratch &s = scratch();
    FUZZ_CHECK(s.dir.isValid(), "no scratch directory");
    writeInput(s.table, data, size);

    Workspace workspace(s.dir.path());
    try {
        workspace.load(s.table);
    } catch (const TableError &error) {
        FUZZ_CHECK(!error.message().isEmpty(), "an error without a message");
        return 0;
    }

    // Every listed page reads as one whole record of its kind, and the saved file is exactly
    // those records in list order.
    QByteArray expected;
    for (PageKind kind : kTableOrder) {
        for (int position = 0; position < workspace.pages().pageCount(kind); ++position) {
            QByteArray record;
            try {
                record = workspace.readPage(kind, position);
            } catch (const TableError &error) {
                FUZZ_CHECK(false, shown(error.message()));
            }
            FUZZ_CHECK(record.size() >= RecordHeader::size, QByteArray::number(record.size()));
            FUZZ_CHECK(quint8(record[0]) == quint8(kind), QByteArray::number(quint8(record[0])));
            expected += record;
        }
    }
    if (workspace.pages().totalPageCount() == 0)
        return 0;
    try {
        workspace.save(s.saved);
    } catch (const TableError &error) {
        FUZZ_CHECK(false, shown(error.message()));
    }
    QFile saved(s.saved);
    FUZZ_CHECK(saved.open(QIODevice::ReadOnly), shown(saved.errorString()));
    FUZZ_CHECK(saved.readAll() == expected, "the saved file is not the pages' records");

    Workspace reloaded(s.dir.path());
    try {
        FUZZ_CHECK(!reloaded.load(s.saved), "a saved file has pages of another version");
    } catch (const TableError &error) {
        FUZZ_CHECK(false, shown(error.message()));
    }
    for (PageKind kind : kTableOrder) {
        FUZZ_CHECK(reloaded.pages().pageCount(kind) == workspace.pages().pageCount(kind),
                   kindInfo(kind).name.data());
        // The order of names that only differ in what the locale ignores may change.
        if (isEdited(kind)) {
            FUZZ_CHECK(sortedBytewise(reloaded.pageNames(kind)) ==
                           sortedBytewise(workspace.pageNames(kind)),
                       kindInfo(kind).name.data());
        }
    }
    return 0;
}
