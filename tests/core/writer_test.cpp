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

class Writer : public testing::Test
{
protected:
    QString tablePath() const { return dir.path(u"table.gam"_s); }

    void load(const QList<QByteArray> &records)
    {
        writeFile(tablePath(), table(records));
        workspace.load(tablePath());
    }

    TempDir dir;
    Workspace workspace { dir.path() };
};

} // namespace

TEST_F(Writer, WritesByKindThenListOrderWithPassThroughLast)
{
    const QByteArray pass = passThroughRecord(Bytes().str("level").f32(9.81f));
    load({ pass, sound("c"), texture("b"), sound("a") });
    workspace.applyPage(PageKind::Sound, 0, sound("a", 5), "a");
    workspace.removePage(PageKind::Sound, 1); // c
    const QString target = dir.path(u"copy.gam"_s);

    QList<int> progress;
    const Workspace::SaveResult result =
        workspace.save(target, [&](int percent) { progress.append(percent); });
    EXPECT_FALSE(result.reloaded);
    EXPECT_EQ(readFile(target), table({ texture("b"), sound("a", 5), pass }));
    EXPECT_EQ(progress, (QList<int> { 33, 67, 100 }));
    EXPECT_EQ(workspace.loadedPath(), tablePath());
}

// The check window reads the table's records: they must be the file a save writes, also past
// the writer's output pieces and with pages in the working files.
TEST_F(Writer, TheRecordsAreTheBytesASaveWrites)
{
    EXPECT_TRUE(workspace.records().isEmpty());
    QList<QByteArray> records;
    for (int level = 0; level < 6; ++level) // about 1.8 MB: more than one piece
        records.append(passThroughRecord(Bytes().str("level").zeros(300 * 1000 + level)));
    records += { sound("c"), texture("b"), sound("a"), named<DoorPage>("Gate") };
    load(records);
    workspace.applyPage(PageKind::Sound, 0, sound("a", 5), "a");
    workspace.removePage(PageKind::Sound, 1); // c
    workspace.addPage(PageKind::Door, named<DoorPage>("Hatch"), "Hatch");
    workspace.addPage(PageKind::Texture, texture("a"), "a");

    const QString target = dir.path(u"out.gam"_s);
    const QList<QByteArray> current = workspace.records();
    workspace.save(target);
    EXPECT_EQ(current.join(), readFile(target));
    EXPECT_EQ(current.mid(0, 5),
              QList<QByteArray>({ texture("b"), texture("a"), sound("a", 5),
                                  named<DoorPage>("Gate"), named<DoorPage>("Hatch") }));

    // A loaded file changed since the load fails as a save would, rather than mix two files.
    writeFile(tablePath(), table({ sound("x") }));
    const QString message = tableErrorOf([&] { workspace.records(); });
    EXPECT_TRUE(message.contains(u"has changed since it was loaded"_s)) << message.toStdString();
    EXPECT_EQ(tableErrorOf([&] { workspace.save(target); }), message);
}

TEST_F(Writer, SavingOverTheLoadedFileReloadsItWhateverItsSpelling)
{
    load({ sound("b"), sound("a") });
    workspace.applyPage(PageKind::Sound, 0, sound("a", 5), "a");
    workspace.addPage(PageKind::Sound, sound("c"), "c");
    ASSERT_TRUE(QFile::link(tablePath(), dir.path(u"link.gam"_s)));
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"sub"_s));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    for (const QString &target : { u"link.gam"_s, dir.path(u"sub/../table.gam"_s) }) {
        EXPECT_TRUE(workspace.save(target).reloaded) << target.toStdString();
        EXPECT_EQ(readFile(tablePath()), table({ sound("a", 5), sound("b"), sound("c") }));
        EXPECT_EQ(workspace.pageNames(PageKind::Sound), (QList<QByteArray> { "a", "b", "c" }));
        for (int p = 0; p < 3; ++p) // every page now lies in the saved file
            EXPECT_FALSE(workspace.pages().resolve(PageKind::Sound, p).inWorkingFile);
    }
    QDir::setCurrent(previous);
    EXPECT_TRUE(QFileInfo(dir.path(u"link.gam"_s)).isSymLink());
}

TEST_F(Writer, RefusesAnEmptyTableAndTheWorkspacesOwnFiles)
{
    const QString target = dir.path(u"out.gam"_s);
    load({ record(3, 1, "only an unknown kind") });
    EXPECT_EQ(tableErrorOf([&] { workspace.save(target); }), u"Nothing to save!"_s);
    EXPECT_FALSE(QFile::exists(target));

    workspace.addPage(PageKind::Sound, sound("x"), "x");
    EXPECT_THROW(workspace.save(dir.path(u"sounds.$$$"_s)), TableError);
    EXPECT_EQ(readFile(dir.path(u"sounds.$$$"_s)), sound("x"));
    // A table saved as the lock would be deleted when the program ends.
    const QString lock = dir.path(WorkspaceFile::lock);
    writeFile(lock, "held");
    EXPECT_EQ(tableErrorOf([&] { workspace.save(lock); }),
              u"Cannot save to \"%1\": the program keeps its own work in that file."_s.arg(lock));
    EXPECT_EQ(readFile(lock), "held");

    // Nor is a working file loaded as a table: edits would be appended to it.
    const QString working = dir.path(u"sounds.$$$"_s);
    EXPECT_EQ(tableErrorOf([&] { workspace.load(working); }),
              u"Cannot load \"%1\": the program keeps its own work in that file."_s.arg(working));
    EXPECT_EQ(workspace.pages().pageCount(PageKind::Sound), 1);
}
