#include "loader.h"
#include "tablebuilder.h"
#include "tableerror.h"
#include "testhelpers.h"
#include "workspace.h"

#include <gtest/gtest.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

class Loader : public testing::Test
{
protected:
    QString write(const QByteArray &bytes)
    {
        writeFile(dir.path(u"table.gam"_s), bytes);
        return dir.path(u"table.gam"_s);
    }

    QString loadError(const QByteArray &bytes)
    {
        return tableErrorOf([&] { LoadTableFile(write(bytes)); });
    }

    static QList<QByteArray> sounds(const LoadedTable &loaded)
    {
        return loaded.names[kindIndex(PageKind::Sound)];
    }

    TempDir dir;
};

} // namespace

TEST_F(Loader, SortsNamesCaseInsensitivelyAndEqualNamesKeepFileOrder)
{
    const QString path = write(table({ sound("b"), sound("A"), sound("a") }));
    for (const QLocale &locale :
         { QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates) }) {
        const LoadedTable loaded = LoadTableFile(path, locale);
        EXPECT_EQ(sounds(loaded), (QList<QByteArray> { "A", "a", "b" }))
            << locale.name().toStdString();
        EXPECT_EQ(slotMap(loaded.directory, PageKind::Sound), (QList<int> { 2, 3, 1 }));
        EXPECT_FALSE(loaded.versionMismatch);
    }
}

TEST_F(Loader, SkipsUnacceptedKindsKeepsPassThroughAndFlagsOtherVersions)
{
    SoundPage oldSound;
    oldSound.version = 2;
    const QByteArray unknown = record(3, 1, "unknown");
    const LoadedTable loaded = LoadTableFile(
        write(table({ unknown, oldSound.record(), sound("kept"), passThroughRecord("x") })));
    EXPECT_TRUE(loaded.versionMismatch);
    EXPECT_EQ(sounds(loaded), QList<QByteArray> { "kept" });
    EXPECT_EQ(loaded.directory.resolve(PageKind::Sound, 0).position,
              unknown.size() + oldSound.record().size());
    ASSERT_EQ(loaded.directory.pageCount(PageKind::PassThrough), 1);
    // A generic page's name follows its object type.
    EXPECT_EQ(LoadTableFile(write(genericPage("Crate", 11))).names[kindIndex(PageKind::Generic)],
              QList<QByteArray> { "Crate" });
    EXPECT_EQ(loaded.directory.resolve(PageKind::PassThrough, 0).position,
              unknown.size() + oldSound.record().size() + sound("kept").size());
}

TEST_F(Loader, LeavesOutALastPageThatTheEndOfTheFileCutsShort)
{
    const QByteArray head = sound("head");
    for (qsizetype kept : { 3, 10, 40 }) { // inside the length, the name, the fields
        const LoadedTable loaded = LoadTableFile(write(head + sound("tail").left(kept)));
        EXPECT_EQ(sounds(loaded), QList<QByteArray> { "head" }) << kept;
        EXPECT_EQ(loaded.directory.totalPageCount(), 1);
        EXPECT_EQ(loaded.cutOffRecord, head.size());
    }
    // A length of 0xFFFFFFFF is taken for no more than the file holds.
    const QByteArray huge = recordWithLength(kind::sound, 0xFFFFFFFF, Bytes().u16(1).str("huge"));
    EXPECT_EQ(LoadTableFile(write(head + huge)).cutOffRecord, head.size());
    EXPECT_EQ(LoadTableFile(write(head)).cutOffRecord, -1);
}

TEST_F(Loader, StopsOnADamagedFileSayingWhatAndWhere)
{
    const QByteArray good = sound("good");
    EXPECT_EQ(loadError({}), u"damaged table file: the file is empty"_s);
    EXPECT_EQ(loadError(good.left(40)),
              u"damaged table file: record at byte 0 runs past the end of the file"_s);
    EXPECT_EQ(loadError(good + recordWithLength(7, 5, Bytes().u16(1).str("x"))),
              u"damaged table file: record at byte %1 has an impossible length of 5 bytes"_s.arg(
                  good.size()));
    EXPECT_EQ(loadError(recordWithLength(7, 8, Bytes().u16(1).raw("ab")) + good),
              u"damaged table file: record at byte 0 has a name that runs past its end"_s);
}

TEST_F(Loader, AFailedLoadChangesNothing)
{
    const QString first = dir.path(u"first.gam"_s);
    writeFile(first, table({ sound("one"), sound("two") }));
    Workspace workspace(dir.path());
    workspace.load(first);
    workspace.addPage(PageKind::Sound, sound("added"), "added");
    const PageDirectory before = workspace.pages();

    EXPECT_THROW(workspace.load(write(table({ sound("three"), recordWithLength(7, 2, "") }))),
                 TableError);
    EXPECT_EQ(workspace.pages(), before);
    EXPECT_EQ(workspace.pageNames(PageKind::Sound), (QList<QByteArray> { "one", "two", "added" }));
    EXPECT_EQ(workspace.loadedPath(), first);
    EXPECT_EQ(workspace.readPage(PageKind::Sound, 1), sound("two"));
}

TEST_F(Loader, AHundredThousandEqualNamesKeepFileOrderThroughEditAndSave)
{
    // With a five-digit slot key, slot 100000 ("a100000") would sort before slot 99999.
    constexpr int count = 100001;
    const QByteArray page = sound("a");
    QByteArray bytes;
    bytes.reserve(page.size() * count);
    for (int i = 0; i < count; ++i)
        bytes += page;
    Workspace workspace(dir.path());
    workspace.load(write(bytes));
    ASSERT_EQ(workspace.pages().pageCount(PageKind::Sound), count);
    for (int position : { 99998, 99999, 100000 })
        EXPECT_EQ(workspace.pages().slotAt(PageKind::Sound, position), position + 1);

    workspace.applyPage(PageKind::Sound, 99999, sound("a", 5), "a");
    workspace.addPage(PageKind::Sound, sound("b"), "b");
    workspace.save(dir.path(u"saved.gam"_s));
    bytes.replace(99999 * page.size(), page.size(), sound("a", 5));
    EXPECT_EQ(readFile(dir.path(u"saved.gam"_s)), bytes + sound("b"));
}
