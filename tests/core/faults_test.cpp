#include "tablebuilder.h"
#include "tableerror.h"
#include "testhelpers.h"
#include "workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

// Root passes every permission check; the tests run as root in CI. For the guard's lifetime
// this thread checks file access as an ordinary user, and the process stays as it was.
class AsOrdinaryUser
{
public:
    static constexpr uid_t nobody = 65534;

    AsOrdinaryUser()
    {
        if (geteuid() == 0) {
            setfsuid(nobody);
            EXPECT_EQ(setfsuid(uid_t(-1)), nobody); // reports the identity in force
        }
    }
    ~AsOrdinaryUser()
    {
        if (geteuid() == 0)
            setfsuid(0);
    }
};

bool isCharacterDevice(const QString &path)
{
    struct stat info;
    return lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISCHR(info.st_mode);
}

class Faults : public testing::Test
{
protected:
    void SetUp() override
    {
        // Others may enter the scratch directory but write only in "out".
        ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
        ASSERT_TRUE(QDir(dir.path()).mkdir(u"work"_s));
        ASSERT_TRUE(QDir(dir.path()).mkdir(u"out"_s));
        ASSERT_TRUE(QFile::setPermissions(dir.path(u"out"_s), QFile::Permissions(0x7777)));
    }

    QString tablePath() const { return dir.path(u"table.gam"_s); }
    QString workPath(const QString &name) const { return dir.path(u"work/"_s + name); }
    QString outPath(const QString &name) const { return dir.path(u"out/"_s + name); }

    void load(const QList<QByteArray> &records)
    {
        writeFile(tablePath(), table(records));
        workspace.load(tablePath());
    }

    QStringList files(const QString &path) const
    {
        return QDir(path).entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
    }

    TempDir dir;
    Workspace workspace { dir.path(u"work"_s) };
};

} // namespace

TEST_F(Faults, AWorkspaceDirectoryThatCannotBeWrittenLosesNothing)
{
    load({ sound("a"), sound("b") });
    workspace.applyPage(PageKind::Sound, 0, sound("a", 1), "a");
    ASSERT_TRUE(QFile::setPermissions(dir.path(u"work"_s), QFile::Permissions(0x5555)));
    const PageDirectory before = workspace.pages();
    {
        AsOrdinaryUser user;
        // The working file exists but cannot be written; the door working file cannot be made.
        for (const auto &[kind, file] : { std::pair(PageKind::Sound, u"sounds.$$$"_s),
                                          std::pair(PageKind::Door, u"doors.$$$"_s) }) {
            const QString error = tableErrorOf([&] {
                if (kind == PageKind::Sound)
                    workspace.applyPage(kind, 1, sound("b", 2), "b");
                else
                    workspace.addPage(kind, DoorPage().record(), "New Door");
            });
            EXPECT_EQ(
                error,
                u"Cannot write the working file \"%1\": Permission denied"_s.arg(workPath(file)));
        }
        EXPECT_EQ(workspace.pages(), before);
        EXPECT_EQ(workspace.pageNames(PageKind::Sound), (QList<QByteArray> { "a", "b" }));
        EXPECT_TRUE(workspace.pageNames(PageKind::Door).isEmpty());

        // Every page still reads, and a table saved elsewhere holds them all.
        EXPECT_EQ(workspace.readPage(PageKind::Sound, 0), sound("a", 1));
        workspace.save(outPath(u"saved.gam"_s));
        EXPECT_EQ(readFile(outPath(u"saved.gam"_s)), table({ sound("a", 1), sound("b") }));
    }
    EXPECT_EQ(files(dir.path(u"work"_s)), QStringList { u"sounds.$$$"_s });
    EXPECT_EQ(readFile(workPath(u"sounds.$$$"_s)), sound("a", 1));
}

TEST_F(Faults, AWorkingFileDeletedInUseNeverLendsItsPagesAnotherRecord)
{
    load({ sound("a"), sound("b"), sound("c") });
    workspace.applyPage(PageKind::Sound, 0, sound("a", 1), "a");
    workspace.applyPage(PageKind::Sound, 1, sound("b", 2), "b");
    const QString target = outPath(u"target.gam"_s);
    writeFile(target, "old");
    ASSERT_TRUE(QFile::remove(workPath(u"sounds.$$$"_s)));

    // Selecting such a page, or saving, names the missing file; the target stays as it was.
    const QString missing = u"Cannot open the working file \"sounds.$$$\" \"%1\": No such file or "
                            "directory"_s.arg(workPath(u"sounds.$$$"_s));
    EXPECT_EQ(tableErrorOf([&] { workspace.readPage(PageKind::Sound, 0); }), missing);
    EXPECT_EQ(tableErrorOf([&] { workspace.save(target); }), missing);
    EXPECT_EQ(readFile(target), "old");
    EXPECT_EQ(files(dir.path(u"out"_s)), QStringList { u"target.gam"_s });

    // New records go after everything written before, so the lost offsets read as damaged
    // rather than as the new page's record.
    workspace.applyPage(PageKind::Sound, 2, sound("c", 3), "c");
    for (int position : { 0, 1 }) {
        const QString error = tableErrorOf([&] { workspace.readPage(PageKind::Sound, position); });
        EXPECT_TRUE(error.startsWith(u"damaged working file \"sounds.$$$\""_s))
            << error.toStdString();
    }
    EXPECT_EQ(workspace.readPage(PageKind::Sound, 2), sound("c", 3));
    EXPECT_THROW(workspace.save(target), TableError);
    EXPECT_EQ(readFile(target), "old");

    // Once the lost pages are deleted, the rest saves.
    workspace.removePage(PageKind::Sound, 0);
    workspace.removePage(PageKind::Sound, 0);
    workspace.save(target);
    EXPECT_EQ(readFile(target), sound("c", 3));
}

TEST_F(Faults, AFullDiskLeavesNoPartOfARecordInTheWorkingFile)
{
    load({ sound("a") });
    workspace.applyPage(PageKind::Sound, 0, sound("a", 1), "a");
    const qint64 size = QFileInfo(workPath(u"sounds.$$$"_s)).size();
    const PageDirectory before = workspace.pages();
    {
        FileSizeLimit limit(size + 10);
        const QString error = tableErrorOf(
            [&] { workspace.applyPage(PageKind::Sound, 0, sound("a longer name", 2), "x"); });
        EXPECT_EQ(error,
                  u"Cannot write the working file \"%1\": File too large"_s.arg(
                      workPath(u"sounds.$$$"_s)));
        EXPECT_THROW(workspace.addPage(PageKind::Sound, sound("new"), "new"), TableError);
    }
    EXPECT_EQ(readFile(workPath(u"sounds.$$$"_s)), sound("a", 1));
    EXPECT_EQ(workspace.pages(), before);
    EXPECT_EQ(workspace.pageNames(PageKind::Sound), QList<QByteArray> { "a" });
    EXPECT_EQ(workspace.readPage(PageKind::Sound, 0), sound("a", 1));

    // With room again, the next record follows the last whole one.
    workspace.applyPage(PageKind::Sound, 0, sound("a", 3), "a");
    EXPECT_EQ(readFile(workPath(u"sounds.$$$"_s)), sound("a", 1) + sound("a", 3));
}

TEST_F(Faults, ADeviceNodeOrAMissingDirectoryIsNoSaveTarget)
{
    load({ sound("a") });
    // A device of our own where root may make one; otherwise the system's null device.
    QString device = dir.path(u"null"_s);
    if (mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        device = u"/dev/null"_s;
    ASSERT_TRUE(isCharacterDevice(device));
    const QString link = dir.path(u"link.gam"_s);
    ASSERT_TRUE(QFile::link(device, link));

    for (const QString &target : { device, link }) {
        EXPECT_EQ(tableErrorOf([&] { workspace.save(target); }),
                  u"Cannot save to \"%1\": it is not a regular file."_s.arg(target));
    }
    EXPECT_TRUE(isCharacterDevice(device));
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), device);

    const QString nowhere = dir.path(u"no/such/dir/out.gam"_s);
    EXPECT_EQ(tableErrorOf([&] { workspace.save(nowhere); }),
              u"Cannot save to \"%1\": No such file or directory"_s.arg(nowhere));
    EXPECT_FALSE(QFileInfo::exists(dir.path(u"no"_s)));
}

TEST_F(Faults, ATableFileGoneOrChangedAfterLoadingIsNeitherReadNorSaved)
{
    const QByteArray loaded = table({ sound("a"), sound("b") });
    load({ sound("a"), sound("b") });
    workspace.addPage(PageKind::Sound, sound("c"), "c");
    const QDateTime modified = QFileInfo(tablePath()).lastModified();
    const QString target = outPath(u"target.gam"_s);
    writeFile(target, "old");

    ASSERT_TRUE(QFile::remove(tablePath()));
    EXPECT_TRUE(tableErrorOf([&] {
                    workspace.readPage(PageKind::Sound, 0);
                }).startsWith(u"Cannot open the table file \"%1\""_s.arg(tablePath())));
    EXPECT_EQ(workspace.readPage(PageKind::Sound, 2), sound("c"));
    EXPECT_THROW(workspace.save(target), TableError);
    EXPECT_THROW(workspace.save(tablePath()), TableError); // over the file that was loaded
    EXPECT_FALSE(QFile::exists(tablePath()));

    // Another program writes a file of another layout there: offsets into it would name other
    // bytes than the pages loaded.
    writeFile(tablePath(), table({ sound("zz"), sound("a"), sound("b") }));
    const QString changed =
        u"The table file \"%1\" has changed since it was loaded, so its "
        "pages are no longer where they were. Load it again."_s.arg(tablePath());
    EXPECT_EQ(tableErrorOf([&] { workspace.readPage(PageKind::Sound, 0); }), changed);
    EXPECT_EQ(tableErrorOf([&] { workspace.save(target); }), changed);
    EXPECT_EQ(readFile(target), "old");
    EXPECT_EQ(files(dir.path(u"out"_s)), QStringList { u"target.gam"_s });

    // The loaded file put back as it was: the edits made meanwhile are all there to save.
    writeFile(tablePath(), loaded);
    {
        QFile file(tablePath());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    workspace.save(target);
    EXPECT_EQ(readFile(target), table({ sound("a"), sound("b"), sound("c") }));
}

TEST_F(Faults, AReadOnlyTableFileLoadsAndSavesElsewhereButIsNotReplaced)
{
    // In a directory where the user may write, so only the file's own mode protects it.
    const QString path = outPath(u"readonly.gam"_s);
    const QByteArray bytes = table({ sound("b"), sound("a") });
    writeFile(path, bytes);
    ASSERT_TRUE(
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));

    AsOrdinaryUser user;
    Workspace readOnly(dir.path(u"out"_s));
    readOnly.load(path);
    EXPECT_EQ(readOnly.pageNames(PageKind::Sound), (QList<QByteArray> { "a", "b" }));
    EXPECT_EQ(readOnly.readPage(PageKind::Sound, 0), sound("a"));
    readOnly.applyPage(PageKind::Sound, 1, sound("b", 5), "b");

    readOnly.save(outPath(u"copy.gam"_s));
    EXPECT_EQ(readFile(outPath(u"copy.gam"_s)), table({ sound("a"), sound("b", 5) }));

    EXPECT_EQ(tableErrorOf([&] { readOnly.save(path); }),
              u"Cannot save to \"%1\": Permission denied"_s.arg(path));
    EXPECT_EQ(readFile(path), bytes);
    EXPECT_EQ(files(dir.path(u"out"_s)),
              (QStringList { u"copy.gam"_s, u"readonly.gam"_s, u"sounds.$$$"_s }));
}
