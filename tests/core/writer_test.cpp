#include "tablebuilder.h"
#include "tableerror.h"
#include "testhelpers.h"
#include "workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

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

    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::System); }

    TempDir dir;
    Workspace workspace { dir.path() };
};

} // namespace

TEST_F(Writer, CopiesEveryRecordByteForByteInListOrder)
{
    const QByteArray pass = passThroughRecord(Bytes().str("level").f32(9.81f));
    load({ pass, texture("b"), texture("a") });
    const QString target = dir.path(u"copy.gam"_s);

    QList<int> progress;
    const Workspace::SaveResult result =
        workspace.save(target, [&](int percent) { progress.append(percent); });

    EXPECT_FALSE(result.reloaded);
    EXPECT_EQ(readFile(target), table({ texture("a"), texture("b"), pass }));
    EXPECT_EQ(progress, (QList<int> { 33, 67, 100 }));
    EXPECT_EQ(workspace.loadedPath(), tablePath()); // still working against the loaded file
}

TEST_F(Writer, TakesEditedPagesFromTheWorkingFileAndLeavesDeletedOnesOut)
{
    load({ sound("alpha", 1), sound("beta", 2), sound("gamma", 3), passThroughRecord("p") });
    workspace.applyPage(PageKind::Sound, 0, sound("alpha", 10), "alpha");
    workspace.applyPage(PageKind::Sound, 0, sound("alpha", 20), "alpha"); // only this one is saved
    workspace.removePage(PageKind::Sound, 1); // beta
    workspace.addPage(PageKind::Sound, sound("New Sound"), "New Sound");
    // A record whose kind byte is not its kind's is written with the right one.
    QByteArray odd = sound("odd");
    odd[0] = char(3);
    workspace.addPage(PageKind::Sound, odd, "odd");
    workspace.addPage(PageKind::Door, DoorPage().record(), "New Door");

    QList<int> progress;
    const QString target = dir.path(u"out.gam"_s);
    workspace.save(target, [&](int percent) { progress.append(percent); });
    EXPECT_EQ(readFile(target),
              table({ sound("alpha", 20), sound("gamma", 3), sound("New Sound"), sound("odd"),
                      DoorPage().record(), passThroughRecord("p") }));
    EXPECT_EQ(progress, (QList<int> { 17, 33, 50, 67, 83, 100 }));
}

TEST_F(Writer, ReportsProgressOnlyWhenTheWholePercentageChanges)
{
    QList<QByteArray> many;
    for (int i = 0; i < 1000; ++i)
        many.append(sound("s" + QByteArray::number(i)));
    load(many);
    QList<int> progress;
    workspace.save(dir.path(u"out.gam"_s), [&](int percent) { progress.append(percent); });
    ASSERT_EQ(progress.size(), 100);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(progress[i], i + 1);
}

TEST_F(Writer, HasNothingToSaveWithoutPagesAndCreatesNothing)
{
    const QString target = dir.path(u"out.gam"_s);
    EXPECT_EQ(tableErrorOf([&] { workspace.save(target); }), u"Nothing to save!"_s);
    load({ record(3, 1, "only an unknown kind") });
    EXPECT_THROW(workspace.save(target), TableError);
    EXPECT_FALSE(QFile::exists(target));

    // New table file followed by Add: the saved file holds that single record.
    workspace.newTable();
    workspace.addPage(PageKind::Sound, sound("New Sound"), "New Sound");
    workspace.save(target);
    EXPECT_EQ(readFile(target), sound("New Sound"));
}

TEST_F(Writer, SavingOverTheLoadedFileReloadsItWhateverItsSpelling)
{
    load({ sound("b"), sound("a"), record(3, 1, "dropped") });
    workspace.applyPage(PageKind::Sound, 0, sound("a", 5), "a");
    workspace.addPage(PageKind::Sound, sound("c"), "c");

    ASSERT_TRUE(QFile::link(tablePath(), dir.path(u"link.gam"_s)));
    const QString spellings[] = { tablePath(), dir.path(u"sub/../table.gam"_s),
                                  dir.path(u"link.gam"_s) };
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"sub"_s));
    for (const QString &target : spellings) {
        const Workspace::SaveResult result = workspace.save(target);
        EXPECT_TRUE(result.reloaded) << target.toStdString();
        EXPECT_EQ(readFile(tablePath()), table({ sound("a", 5), sound("b"), sound("c") }));
        EXPECT_EQ(workspace.pageNames(PageKind::Sound), (QList<QByteArray> { "a", "b", "c" }));
        // Every page now lies in the saved file, each listed once.
        for (int p = 0; p < 3; ++p)
            EXPECT_FALSE(workspace.pages().resolve(PageKind::Sound, p).inWorkingFile);
    }
    EXPECT_TRUE(QFileInfo(dir.path(u"link.gam"_s)).isSymLink());
    EXPECT_FALSE(QFile::exists(dir.path(u"temp.$$$"_s)));

    // Relative to the current directory.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    EXPECT_TRUE(workspace.save(u"table.gam"_s).reloaded);
    QDir::setCurrent(previous);
}

TEST_F(Writer, AFailedWriteLeavesTheOldTargetAndNoTemporaryFile)
{
    QList<QByteArray> records;
    for (int i = 0; i < 400; ++i)
        records.append(sound("sound number " + QByteArray::number(i)));
    load(records);
    const QString target = dir.path(u"target.gam"_s);
    writeFile(target, "the user's old table");
    const QStringList before = files();
    {
        FileSizeLimit limit(8192);
        EXPECT_THROW(workspace.save(target), TableError);
        EXPECT_THROW(workspace.save(tablePath()), TableError);
    }
    EXPECT_EQ(readFile(target), "the user's old table");
    EXPECT_EQ(readFile(tablePath()), table(records));
    EXPECT_EQ(files(), before);
    EXPECT_EQ(workspace.pageNames(PageKind::Sound).size(), 400);
}

TEST_F(Writer, RefusesTargetsThatAreNotRegularFiles)
{
    load({ sound("a") });
    const QString fifo = dir.path(u"pipe"_s);
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"folder"_s));
    for (const QString &target : { fifo, dir.path(u"folder"_s) }) {
        EXPECT_TRUE(
            tableErrorOf([&] { workspace.save(target); }).endsWith(u"it is not a regular file."_s));
    }
    EXPECT_EQ(QFileInfo(fifo).isFile(), false);
    EXPECT_TRUE(QFileInfo(fifo).exists());
    EXPECT_TRUE(QFileInfo(dir.path(u"folder"_s)).isDir());
    EXPECT_THROW(workspace.save(dir.path(u"no/such/dir/out.gam"_s)), TableError);
    // The program's own files are not a place to save a table.
    EXPECT_THROW(workspace.save(dir.path(u"sounds.$$$"_s)), TableError);
    workspace.addPage(PageKind::Sound, sound("x"), "x");
    EXPECT_THROW(workspace.save(dir.path(u"sounds.$$$"_s)), TableError);
    EXPECT_EQ(readFile(dir.path(u"sounds.$$$"_s)), sound("x"));
}

TEST_F(Writer, AMissingSourceFailsTheSaveAndLeavesTheTargetAlone)
{
    load({ sound("a"), sound("b") });
    workspace.applyPage(PageKind::Sound, 0, sound("a", 3), "a");
    const QString target = dir.path(u"target.gam"_s);
    writeFile(target, "old");

    QFile::remove(workspace.workingFilePath(PageKind::Sound));
    EXPECT_THROW(workspace.save(target), TableError);
    EXPECT_EQ(readFile(target), "old");

    workspace.applyPage(PageKind::Sound, 0, sound("a", 3), "a");
    QFile::remove(tablePath());
    EXPECT_THROW(workspace.save(target), TableError);
    EXPECT_EQ(readFile(target), "old");
    EXPECT_EQ(files(), (QStringList { u"sounds.$$$"_s, u"target.gam"_s }));
}

TEST_F(Writer, SavesTheWholePagesOfATableWhoseLastPageIsCutShort)
{
    // A cut pass-through page can be neither deleted nor copied whole: were it kept, no save
    // of this table could succeed.
    QByteArray truncated = passThroughRecord(QByteArray(100, 'p'));
    truncated.chop(10);
    load({ sound("head"), passThroughRecord("whole"), truncated });
    ASSERT_EQ(workspace.cutOffRecord(), sound("head").size() + passThroughRecord("whole").size());
    workspace.save(dir.path(u"out.gam"_s));
    EXPECT_EQ(readFile(dir.path(u"out.gam"_s)),
              table({ sound("head"), passThroughRecord("whole") }));
}
