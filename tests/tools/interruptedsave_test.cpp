#include "tablebuilder.h"
#include "testhelpers.h"

#include <QDir>
#include <QElapsedTimer>
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

// The descriptor through which the process at pid writes a file in directory other than
// except: the new table file of a save, while it is being written.
std::optional<std::string> newFileDescriptor(qint64 pid, const QString &directory,
                                             const QString &except)
{
    namespace fs = std::filesystem;
    std::error_code error;
    for (const fs::directory_entry &fd :
         fs::directory_iterator(fs::path("/proc") / std::to_string(pid) / "fd", error)) {
        const QString path = QFile::decodeName(fs::read_symlink(fd.path(), error).c_str());
        if (!error && path.startsWith(directory + u'/') && path != except)
            return fd.path().native();
    }
    return std::nullopt;
}

qint64 sizeOf(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? info.st_size : -1;
}

// A table of about 24 MB whose sound pages are out of list order, so a save changes it.
QByteArray largeTable()
{
    QList<QByteArray> records = { sound("zulu"), sound("alpha"), sound("mike") };
    for (int i = 0; i < 240; ++i)
        records.append(passThroughRecord(QByteArray(100 * 1000, char('a' + i % 26))));
    return table(records);
}

} // namespace

// The target of a save killed at any point is either the old file or the complete new one,
// and the save leaves no other file behind (Qt writes the new file unnamed until it is whole).
TEST(InterruptedSave, LeavesTheOldFileOrTheWholeNewOneAndNothingElse)
{
    TempDir dir;
    const QString in = dir.path(u"in.gam"_s);
    const QString target = dir.path(u"target.gam"_s);
    const QString expectedPath = dir.path(u"expected.gam"_s);
    const QByteArray input = largeTable();
    const QByteArray oldTarget = table({ sound("the user's old table") });
    writeFile(in, input);

    QElapsedTimer timer;
    timer.start();
    QProcess full;
    full.start(QStringLiteral(VKTABLE_PATH), { u"resave"_s, in, expectedPath });
    ASSERT_TRUE(full.waitForFinished(60000));
    ASSERT_EQ(full.exitCode(), 0) << full.readAllStandardError().toStdString();
    const qint64 duration = timer.elapsed();
    const QByteArray expected = readFile(expectedPath);
    ASSERT_EQ(expected.size(), input.size());
    ASSERT_NE(expected, input);

    // Kill points: when the new file has reached a share of its size, or after a share of the
    // time a whole save takes.
    struct KillPoint
    {
        std::optional<double> written;
        std::optional<double> time;
    };
    const KillPoint points[] = { { 0.0, {} },  { 0.33, {} }, { 0.67, {} }, { 1.0, {} },
                                 { {}, 0.25 }, { {}, 0.5 },  { {}, 0.75 } };
    int killedWhileWriting = 0;
    for (const bool overTheInput : { false, true }) {
        const QString out = overTheInput ? in : target;
        const QByteArray old = overTheInput ? input : oldTarget;
        for (const KillPoint &point : points) {
            writeFile(out, old);
            QProcess save;
            save.start(QStringLiteral(VKTABLE_PATH), { u"resave"_s, in, out });
            ASSERT_TRUE(save.waitForStarted(10000));
            QElapsedTimer running;
            running.start();
            bool finished = false;
            while (!(finished = save.waitForFinished(1))) {
                if (point.time && running.elapsed() >= *point.time * duration)
                    break;
                if (point.written) {
                    const auto fd = newFileDescriptor(save.processId(), dir.path(), in);
                    if (fd && sizeOf(*fd) >= qint64(*point.written * expected.size())) {
                        ++killedWhileWriting;
                        break;
                    }
                }
                ASSERT_LT(running.elapsed(), 60000);
            }
            if (!finished) {
                save.kill();
                ASSERT_TRUE(save.waitForFinished(10000));
            }

            const QByteArray now = readFile(out);
            EXPECT_TRUE(now == old || now == expected)
                << (overTheInput ? "in place" : "to another file") << ", written "
                << point.written.value_or(-1) << ", time " << point.time.value_or(-1) << ": "
                << now.size() << " bytes";
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                      (QStringList { u"expected.gam"_s, u"in.gam"_s, u"target.gam"_s }));
        }
    }
    EXPECT_GT(killedWhileWriting, 0);
}
