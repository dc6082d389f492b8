#include "pagedirectory.h"
#include "tablebuilder.h"
#include "tableerror.h"
#include "testhelpers.h"
#include "workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

// A directory as the loader leaves it after n sounds in file order.
PageDirectory loadedSounds(int n)
{
    PageDirectory directory;
    QList<int> mapped;
    for (int i = 0; i < n; ++i)
        mapped.append(directory.recordLoadedPage(PageKind::Sound, 100 * i));
    directory.setSlotMap(PageKind::Sound, mapped);
    directory.closeLoad();
    return directory;
}

} // namespace

TEST(PageDirectory, RemovingAPositionClosesTheGapInTheSlotMap)
{
    PageDirectory directory = loadedSounds(5);
    directory.removePosition(PageKind::Sound, 2);
    EXPECT_EQ(directory.pageCount(PageKind::Sound), 4);
    EXPECT_EQ(slotMap(directory, PageKind::Sound), (QList<int> { 1, 2, 4, 5 }));
    EXPECT_EQ(directory.resolve(PageKind::Sound, 2).position, 300);

    directory.removePosition(PageKind::Sound, 3); // the last
    directory.removePosition(PageKind::Sound, 0); // the first
    EXPECT_EQ(slotMap(directory, PageKind::Sound), (QList<int> { 2, 4 }));
    directory.removePosition(PageKind::Sound, 0);
    directory.removePosition(PageKind::Sound, 0); // the only one
    EXPECT_EQ(directory.pageCount(PageKind::Sound), 0);
}

TEST(PageDirectory, NeverHandsOutASlotTwiceUntilTheNextLoad)
{
    PageDirectory directory = loadedSounds(10);
    directory.removePosition(PageKind::Sound, 4);
    const int position = directory.addPage(PageKind::Sound, PageDirectory::workingFileOffset(0));
    EXPECT_EQ(position, 9);
    EXPECT_EQ(directory.slotAt(PageKind::Sound, 9), 11);
    EXPECT_EQ(directory.lastSlot(PageKind::Sound), 11);

    // New table file empties the lists but the mapped keep increasing.
    directory.forgetAll();
    EXPECT_EQ(directory.totalPageCount(), 0);
    directory.addPage(PageKind::Sound, PageDirectory::workingFileOffset(53));
    EXPECT_EQ(slotMap(directory, PageKind::Sound), QList<int> { 12 });
    const PageDirectory::Location at = directory.resolve(PageKind::Sound, 0);
    EXPECT_TRUE(at.inWorkingFile);
    EXPECT_EQ(at.position, 53);

    directory.reset();
    EXPECT_EQ(directory.lastSlot(PageKind::Sound), 0);
}

TEST(PageDirectory, ANewVersionMovesOnlyThatPageIntoTheWorkingFile)
{
    PageDirectory directory = loadedSounds(3);
    directory.recordNewVersion(PageKind::Sound, 1, PageDirectory::workingFileOffset(0));
    EXPECT_EQ(directory.offsetOfSlot(PageKind::Sound, 2), -1);
    EXPECT_EQ(directory.resolve(PageKind::Sound, 1).inWorkingFile, true);
    EXPECT_EQ(directory.resolve(PageKind::Sound, 1).position, 0);
    EXPECT_EQ(directory.resolve(PageKind::Sound, 0).inWorkingFile, false);
    EXPECT_EQ(directory.resolve(PageKind::Sound, 2).position, 200);

    // Pass-through pages have no slot map: position p is slot p + 1.
    directory.recordLoadedPage(PageKind::PassThrough, 700);
    directory.recordLoadedPage(PageKind::PassThrough, 900);
    EXPECT_EQ(directory.resolve(PageKind::PassThrough, 1).position, 900);
    EXPECT_EQ(directory.totalPageCount(), 5);
}

TEST(Workspace, AppendsWholeRecordsAndEntersTheirNotOffsets)
{
    TempDir dir;
    Workspace workspace(dir.path());
    SoundPage page;
    page.name = "Laser";
    const QByteArray fifty = page.record();
    ASSERT_EQ(fifty.size(), 50);

    // The first record in a missing working file is -1, the next after 50 bytes -51.
    EXPECT_EQ(workspace.appendRecord(PageKind::Sound, fifty), -1);
    EXPECT_EQ(workspace.appendRecord(PageKind::Sound, fifty), -51);
    EXPECT_EQ(readFile(dir.path(u"sounds.$$$"_s)), fifty + fifty);

    // Apply twice: two records, the directory points at the second.
    const int position = workspace.addPage(PageKind::Sound, fifty, "Laser");
    page.name = "Laser2";
    workspace.applyPage(PageKind::Sound, position, page.record(), "Laser2");
    workspace.applyPage(PageKind::Sound, position, page.record(), "Laser2");
    EXPECT_EQ(workspace.pages().resolve(PageKind::Sound, position).position, 100 + 50 + 51);
    EXPECT_EQ(workspace.readPage(PageKind::Sound, position), page.record());
    EXPECT_EQ(workspace.pageNames(PageKind::Sound), QList<QByteArray> { "Laser2" });
}

TEST(Workspace, ReportsAMissingOrDamagedWorkingFileWhenAPageIsRead)
{
    TempDir dir;
    Workspace workspace(dir.path());
    const int position = workspace.addPage(PageKind::Door, DoorPage().record(), "New Door");
    ASSERT_TRUE(QFile::resize(dir.path(u"doors.$$$"_s), 20));
    EXPECT_EQ(tableErrorOf([&] { workspace.readPage(PageKind::Door, position); }),
              u"damaged working file \"doors.$$$\": record at byte 0 runs past the end of the "
              "file"_s);
    QFile::remove(dir.path(u"doors.$$$"_s));
    EXPECT_THROW(workspace.readPage(PageKind::Door, position), TableError);
}

TEST(Workspace, AFailedAppendLeavesTheWorkingFileAndDirectoryAsTheyWere)
{
    TempDir dir;
    Workspace workspace(dir.path(u"missing"_s));
    EXPECT_THROW(workspace.addPage(PageKind::Sound, SoundPage().record(), "New Sound"), TableError);
    EXPECT_EQ(workspace.pages().pageCount(PageKind::Sound), 0);
    EXPECT_EQ(workspace.pages().lastSlot(PageKind::Sound), 0);
    EXPECT_TRUE(workspace.pageNames(PageKind::Sound).isEmpty());
}

TEST(Workspace, CleanUpDeletesTheNineFilesOfAnEarlierRunAndNothingElse)
{
    TempDir dir;
    const QStringList leftovers = { u"textures.$$$"_s, u"generics.$$$"_s, u"weapons.$$$"_s,
                                    u"doors.$$$"_s,    u"sounds.$$$"_s,   u"ships.$$$"_s,
                                    u"copy.$$$"_s,     u"backup.$$$"_s,   u"temp.$$$"_s };
    for (const QString &name : leftovers)
        writeFile(dir.path(name), "old");
    writeFile(dir.path(u"mytable.gam"_s), "keep");
    writeFile(dir.path(u"other.$$$"_s), "keep");

    Workspace(dir.path()).cleanUp();
    Workspace(dir.path()).cleanUp(); // nothing left to delete is no error

    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
              (QStringList { u"mytable.gam"_s, u"other.$$$"_s }));
}
