#include "pagedirectory.h"
#include "tablebuilder.h"
#include "testhelpers.h"
#include "workspace.h"

#include <gtest/gtest.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

// As the loader leaves it after count pages of one kind, spacing bytes apart in file order.
PageDirectory loaded(PageKind kind, int count, qint64 spacing)
{
    PageDirectory directory;
    QList<int> mapped;
    for (int i = 0; i < count; ++i)
        mapped.append(directory.recordLoadedPage(kind, spacing * i));
    directory.setSlotMap(kind, mapped);
    directory.closeLoad();
    return directory;
}

} // namespace

TEST(PageDirectory, AddRemoveAndApplyKeepSlotsAndOffsetsInStep)
{
    PageDirectory directory = loaded(PageKind::Sound, 5, 100);

    directory.removePosition(PageKind::Sound, 2);
    EXPECT_EQ(slotMap(directory, PageKind::Sound), (QList<int> { 1, 2, 4, 5 }));
    EXPECT_EQ(directory.resolve(PageKind::Sound, 2).position, 300);

    // A new page takes a slot never handed out before; a new version moves only its page.
    EXPECT_EQ(directory.addPage(PageKind::Sound, PageDirectory::workingFileOffset(0)), 4);
    EXPECT_EQ(directory.slotAt(PageKind::Sound, 4), 6);
    directory.recordNewVersion(PageKind::Sound, 1, PageDirectory::workingFileOffset(50));
    EXPECT_EQ(directory.offsetOfSlot(PageKind::Sound, 2), ~qint64(50));
    EXPECT_EQ(directory.resolve(PageKind::Sound, 1).position, 50);
    EXPECT_TRUE(directory.resolve(PageKind::Sound, 1).inWorkingFile);
    EXPECT_FALSE(directory.resolve(PageKind::Sound, 0).inWorkingFile);
    EXPECT_EQ(directory.resolve(PageKind::Sound, 3).position, 400);
}

// Undo: a removed slot comes back where it was, a page points back at a record in the table
// file; the directory is then as it was, and the next new page still takes a fresh slot.
TEST(PageDirectory, ARemovedSlotAndAnEarlierRecordComeBack)
{
    const PageDirectory asLoaded = loaded(PageKind::Door, 4, 10);
    PageDirectory directory = asLoaded;

    directory.recordNewVersion(PageKind::Door, 1, PageDirectory::workingFileOffset(0));
    directory.removePosition(PageKind::Door, 3);
    directory.removePosition(PageKind::Door, 0);
    directory.insertSlot(PageKind::Door, 0, 1);
    directory.insertSlot(PageKind::Door, 3, 4);
    directory.setOffsetAt(PageKind::Door, 1, 10);
    EXPECT_EQ(directory, asLoaded);
    EXPECT_EQ(directory.resolve(PageKind::Door, 1).position, 10);
    EXPECT_FALSE(directory.resolve(PageKind::Door, 1).inWorkingFile);
    EXPECT_EQ(directory.addPage(PageKind::Door, PageDirectory::workingFileOffset(5)), 4);
    EXPECT_EQ(directory.slotAt(PageKind::Door, 4), 5);
}

TEST(Workspace, AppendsWholeRecordsAtTheNotOfTheirOffset)
{
    TempDir dir;
    Workspace workspace(dir.path());
    const QByteArray first = sound("Laser"), second = sound("Laser2");
    ASSERT_EQ(first.size(), 50);

    // The first record in a missing working file is -1, the next after 50 bytes -51.
    EXPECT_EQ(workspace.appendRecord(PageKind::Sound, first), -1);
    EXPECT_EQ(workspace.appendRecord(PageKind::Sound, first), -51);
    const int position = workspace.addPage(PageKind::Sound, first, "Laser");
    workspace.applyPage(PageKind::Sound, position, second, "Laser2");
    workspace.applyPage(PageKind::Sound, position, second, "Laser2");
    EXPECT_EQ(readFile(dir.path(u"sounds.$$$"_s)), first + first + first + second + second);
    EXPECT_EQ(workspace.pages().offsetOfSlot(PageKind::Sound, 1), ~qint64(150 + 51));
    EXPECT_EQ(workspace.readPage(PageKind::Sound, position), second);
    EXPECT_EQ(workspace.pageNames(PageKind::Sound), QList<QByteArray> { "Laser2" });
}
