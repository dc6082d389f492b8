#include "tablebuilder.h"
#include "testhelpers.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

// The size of the file in directory other than except that the process at pid writes: the
// new table file of a save, while it is being written; -1 when there is none.
qint64 newFileSize(qint64 pid, const QString &directory, const QString &except)
{
    namespace fs = std::filesystem;
    std::error_code error;
    for (const fs::directory_entry &fd :
         fs::directory_iterator(fs::path("/proc") / std::to_string(pid) / "fd", error)) {
        const QString path = QFile::decodeName(fs::read_symlink(fd.path(), error).c_str());
        struct stat info;
        if (!error && path.startsWith(directory + u'/') && path != except &&
            stat(fd.path().c_str(), &info) == 0)
            return info.st_size;
    }
    return -1;
}

} // namespace

// The target of a save killed at any point is either the old file or the complete new one,
// and the save leaves no other file behind (Qt writes the new file unnamed until it is whole).
TEST(InterruptedSave, LeavesTheOldFileOrTheWholeNewOneAndNothingElse)
{
    TempDir dir;
    const QString in = dir.path(u"in.gam"_s), target = dir.path(u"target.gam"_s);
    // About 24 MB whose sound pages are out of list order, so a save changes it.
    QList<QByteArray> records = { sound("zulu"), sound("alpha"), sound("mike") };
    for (int i = 0; i < 240; ++i)
        records.append(passThroughRecord(QByteArray(100 * 1000, char('a' + i % 26))));
    const QByteArray input = table(records);
    const QByteArray oldTarget = table({ sound("the user's old table") });
    writeFile(in, input);

    QProcess full;
    full.start(QStringLiteral(VKTABLE_PATH), { u"resave"_s, in, dir.path(u"expected.gam"_s) });
    ASSERT_TRUE(full.waitForFinished(60000));
    ASSERT_EQ(full.exitCode(), 0) << full.readAllStandardError().toStdString();
    const QByteArray expected = readFile(dir.path(u"expected.gam"_s));
    ASSERT_EQ(expected.size(), input.size());
    ASSERT_NE(expected, input);

    // Kill when the new file is opened, half written, and whole but maybe not yet in place.
    const double points[] = { 0.0, 0.5, 1.0 };
    int killedWhileWriting = 0;
    for (const bool overTheInput : { false, true }) {
        const QString out = overTheInput ? in : target;
        const QByteArray old = overTheInput ? input : oldTarget;
        for (const double written : points) {
            writeFile(out, old);
            QProcess save;
            save.start(QStringLiteral(VKTABLE_PATH), { u"resave"_s, in, out });
            ASSERT_TRUE(save.waitForStarted(10000));
            bool finished = false;
            while (!(finished = save.waitForFinished(1))) {
                if (newFileSize(save.processId(), dir.path(), in) >= written * expected.size()) {
                    ++killedWhileWriting;
                    break;
                }
            }
            if (!finished) {
                save.kill();
                ASSERT_TRUE(save.waitForFinished(10000));
            }
            const QByteArray now = readFile(out);
            EXPECT_TRUE(now == old || now == expected)
                << (overTheInput ? "in place" : "to another file") << ", written " << written
                << ": " << now.size() << " bytes";
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                      (QStringList { u"expected.gam"_s, u"in.gam"_s, u"target.gam"_s }));
        }
    }
    EXPECT_GT(killedWhileWriting, 0);
}
