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
        const QString path = dir.path(u"table.gam"_s);
        writeFile(path, bytes);
        return path;
    }

    std::string loadError(const QByteArray &bytes)
    {
        return tableErrorOf([&] { LoadTableFile(write(bytes)); }).toStdString();
    }

    TempDir dir;
};

} // namespace

TEST_F(Loader, SortsNamesCaseInsensitivelyAndEqualNamesKeepFileOrder)
{
    const QString path = write(table({ sound("b"), sound("A"), sound("a") }));
    for (const QLocale &locale : { QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
                                   QLocale(QLocale::German, QLocale::Germany) }) {
        const LoadedTable loaded = LoadTableFile(path, locale);
        EXPECT_EQ(loaded.names[kindIndex(PageKind::Sound)], (QList<QByteArray> { "A", "a", "b" }))
            << locale.name().toStdString();
        EXPECT_EQ(slotMap(loaded.directory, PageKind::Sound), (QList<int> { 2, 3, 1 }));
        EXPECT_EQ(loaded.directory.lastSlot(PageKind::Sound), 3);
        EXPECT_FALSE(loaded.versionMismatch);
    }
}

TEST_F(Loader, SortsByTheNameAndFiveDigitSlotKey)
{
    // "Laser2" in slot 3 has the key Laser200003 and sorts after Laser in slot 1 (Laser00001);
    // names that differ only by case or accent are ordered by the locale.
    const QString path = write(table({ sound("Laser"), sound("zeta"), sound("Laser2"),
                                       sound("\xc9mile"), sound("Echo"), sound("laser") }));
    const LoadedTable loaded =
        LoadTableFile(path, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(loaded.names[kindIndex(PageKind::Sound)],
              (QList<QByteArray> { "Echo", "\xc9mile", "Laser", "laser", "Laser2", "zeta" }));
    EXPECT_EQ(slotMap(loaded.directory, PageKind::Sound), (QList<int> { 5, 4, 1, 6, 3, 2 }));
}

TEST_F(Loader, ListsEveryEditedKindWithItsOffsetsAndFullNames)
{
    const QByteArray longName(50, 'n');
    TexturePage texture;
    texture.name = longName;
    GenericPage generic;
    generic.name = "Drone";
    const QList<QByteArray> records = {
        texture.record(),    sound("Beep"),       WeaponPage().record(),    generic.record(),
        DoorPage().record(), ShipPage().record(), passThroughRecord("xyz"),
    };
    const LoadedTable loaded = LoadTableFile(write(table(records)));

    qint64 offset = 0;
    for (int i = 0; i < records.size(); ++i) {
        const PageKind kind = kTableOrder[i];
        ASSERT_EQ(loaded.directory.pageCount(kind), 1);
        EXPECT_EQ(loaded.directory.resolve(kind, 0).position, offset);
        EXPECT_FALSE(loaded.directory.resolve(kind, 0).inWorkingFile);
        offset += records[i].size();
    }
    EXPECT_EQ(loaded.names[kindIndex(PageKind::Texture)], QList<QByteArray> { longName });
    EXPECT_EQ(loaded.names[kindIndex(PageKind::Generic)], QList<QByteArray> { "Drone" });
    EXPECT_EQ(loaded.names[kindIndex(PageKind::Ship)], QList<QByteArray> { "New Ship" });
}

TEST_F(Loader, SkipsUnknownKindsAndWarnsOnceAboutOtherVersions)
{
    SoundPage oldSound;
    oldSound.name = "old";
    oldSound.version = 2;
    TexturePage newTexture;
    newTexture.version = 6;
    const QByteArray bytes =
        table({ record(3, 1, "unknown"), oldSound.record(), sound("kept"), newTexture.record(),
                passThroughRecord("x", 3), record(200, 1, Bytes().str("also unknown")) });
    const LoadedTable loaded = LoadTableFile(write(bytes));
    EXPECT_TRUE(loaded.versionMismatch);
    EXPECT_EQ(loaded.names[kindIndex(PageKind::Sound)], QList<QByteArray> { "kept" });
    EXPECT_EQ(loaded.directory.totalPageCount(), 1);
    EXPECT_EQ(loaded.directory.resolve(PageKind::Sound, 0).position,
              record(3, 1, "unknown").size() + oldSound.record().size());

    EXPECT_FALSE(
        LoadTableFile(write(table({ record(3, 1, "unknown"), sound("a") }))).versionMismatch);
}

TEST_F(Loader, LeavesOutALastPageThatTheEndOfTheFileCutsShort)
{
    // Wherever a download stopped inside the last page, the pages before it load, and the cut
    // page is left out (it could be neither read nor saved) with its place given for a warning.
    const QByteArray head = sound("head");
    QByteArray afterName = sound("tail");
    afterName.chop(10);
    const QByteArray cutPages[] = {
        afterName,
        sound("tail").left(10), // inside the name
        sound("tail").left(3), // inside the length
        sound("tail").left(6), // inside the version
        recordWithLength(kind::passThrough, 0xFFFFFFFF, Bytes().u16(2).raw("p")),
    };
    for (const QByteArray &cut : cutPages) {
        const LoadedTable loaded = LoadTableFile(write(head + cut));
        EXPECT_EQ(loaded.names[kindIndex(PageKind::Sound)], QList<QByteArray> { "head" });
        EXPECT_EQ(loaded.directory.totalPageCount(), 1);
        EXPECT_EQ(loaded.cutOffRecord, head.size());
        EXPECT_FALSE(loaded.versionMismatch);
    }
    EXPECT_EQ(cutOffRecordMessage(54),
              u"The table file ends inside the page at byte 54, cut short. That page has been left "
              "out and will not be saved."_s);

    // Pages that would not be loaded whole either way call for no warning of their own.
    SoundPage oldSound;
    oldSound.version = 2;
    const LoadedTable otherVersion = LoadTableFile(write(head + oldSound.record().left(20)));
    EXPECT_TRUE(otherVersion.versionMismatch);
    EXPECT_EQ(otherVersion.cutOffRecord, -1);
    EXPECT_EQ(LoadTableFile(write(head + record(3, 1, "unknown").left(9))).cutOffRecord, -1);

    // A whole table loads with nothing left out; the workspace keeps what the last load found.
    TempDir workspaceDir;
    Workspace workspace(workspaceDir.path());
    workspace.load(write(head + afterName));
    EXPECT_EQ(workspace.cutOffRecord(), head.size());
    workspace.load(write(head));
    EXPECT_EQ(workspace.cutOffRecord(), -1);
}

TEST_F(Loader, StopsOnADamagedFileSayingWhatAndWhere)
{
    const QByteArray good = sound("good");
    const QString where = QString::number(good.size());
    EXPECT_EQ(loadError({}), "damaged table file: the file is empty");
    // A file without one whole record is no table file.
    EXPECT_EQ(loadError(good.left(40)),
              "damaged table file: record at byte 0 runs past the end of the file");
    // Lengths that cannot describe a record would otherwise loop or go backwards.
    for (quint32 length : { 0u, 1u, 5u }) {
        EXPECT_EQ(loadError(good + recordWithLength(7, length, Bytes().u16(1).str("x"))),
                  "damaged table file: record at byte " + where.toStdString() +
                      " has an impossible length of " + std::to_string(length) + " bytes");
    }
    // A name without its NUL, at the end of a record that fits in the file.
    EXPECT_EQ(loadError(good + recordWithLength(7, 8, Bytes().u16(1).raw("abc"))),
              "damaged table file: record at byte " + where.toStdString() +
                  " has a name that runs past its end");
    // A name that would run into the next record.
    EXPECT_EQ(loadError(recordWithLength(7, 8, Bytes().u16(1).raw("ab")) + good),
              "damaged table file: record at byte 0 has a name that runs past its end");
    // Version cut short; generic type byte missing.
    EXPECT_EQ(loadError(recordWithLength(7, 49, Bytes().u8(1))),
              "damaged table file: record at byte 0 runs past the end of the file");
    EXPECT_EQ(loadError(recordWithLength(10, 6180, Bytes().u16(27))),
              "damaged table file: record at byte 0 runs past the end of the file");
    // A length of 0xFFFFFFFF on an unknown kind only steps past the end.
    EXPECT_EQ(loadError(good + recordWithLength(3, 0xFFFFFFFF, "x")), "no error");
    EXPECT_THROW(LoadTableFile(dir.path(u"missing.gam"_s)), TableError);
}

TEST_F(Loader, FindsEveryPageOfALargeFileWhateverItsReadWindow)
{
    // Names and headers fall across the loader's read window: long records are skipped,
    // short ones follow each other, and one name is longer than the window itself.
    QList<QByteArray> records;
    QList<qint64> offsets;
    QList<QByteArray> names;
    qint64 offset = 0;
    for (int i = 0; i < 900; ++i) {
        QByteArray name = QByteArray::number(100000 + i) + QByteArray(i % 7 * 50, 'n');
        if (i == 450)
            name = QByteArray(300 * 1024, 'L');
        QByteArray record;
        if (i % 3 == 0) {
            GenericPage page;
            page.name = name;
            record = page.record();
        } else if (i % 3 == 1) {
            record = sound(name);
        } else {
            record = passThroughRecord(name);
            name.clear();
        }
        records.append(record);
        offsets.append(offset);
        names.append(name);
        offset += record.size();
    }
    const LoadedTable loaded = LoadTableFile(write(table(records)), QLocale::c());

    const QList<QByteArray> &sounds = loaded.names[kindIndex(PageKind::Sound)];
    const QList<QByteArray> &generics = loaded.names[kindIndex(PageKind::Generic)];
    ASSERT_EQ(sounds.size(), 300);
    ASSERT_EQ(generics.size(), 300);
    ASSERT_EQ(loaded.directory.pageCount(PageKind::PassThrough), 300);
    for (int i = 0; i < 900; ++i) {
        const PageKind kind = i % 3 == 0 ? PageKind::Generic
            : i % 3 == 1                 ? PageKind::Sound
                                         : PageKind::PassThrough;
        const int slot = i / 3 + 1;
        EXPECT_EQ(loaded.directory.offsetOfSlot(kind, slot), offsets[i]) << i;
        if (kind != PageKind::PassThrough) {
            const QList<QByteArray> &listed = kind == PageKind::Sound ? sounds : generics;
            const int position = slotMap(loaded.directory, kind).indexOf(slot);
            ASSERT_GE(position, 0);
            EXPECT_EQ(listed[position], names[i]) << i;
        }
    }
}

TEST_F(Loader, WidensTheSlotKeyPastFiveDigitsForHugeKinds)
{
    // With five digits, slot 100000 ("a100000") would sort before slot 99999 ("a99999").
    const QByteArray page = sound("a");
    QByteArray bytes;
    bytes.reserve(page.size() * 100001);
    for (int i = 0; i < 100001; ++i)
        bytes += page;
    const LoadedTable loaded = LoadTableFile(write(bytes), QLocale::c());
    const PageDirectory &d = loaded.directory;
    ASSERT_EQ(d.pageCount(PageKind::Sound), 100001);
    EXPECT_EQ(d.slotAt(PageKind::Sound, 99998), 99999);
    EXPECT_EQ(d.slotAt(PageKind::Sound, 99999), 100000);
    EXPECT_EQ(d.slotAt(PageKind::Sound, 100000), 100001);
}

TEST(WorkspaceLoad, ReplacesTheTableOnSuccessAndKeepsItOnFailure)
{
    TempDir dir;
    const QString first = dir.path(u"first.gam"_s);
    const QString damaged = dir.path(u"damaged.gam"_s);
    writeFile(first, table({ sound("one"), sound("two"), passThroughRecord("p") }));
    writeFile(damaged, table({ sound("three"), recordWithLength(7, 2, "") }));

    Workspace workspace(dir.path());
    workspace.load(first);
    workspace.load(first); // loading again does not list pages twice
    EXPECT_EQ(workspace.pageNames(PageKind::Sound), (QList<QByteArray> { "one", "two" }));
    workspace.addPage(PageKind::Sound, sound("added"), "added");
    const PageDirectory before = workspace.pages();

    EXPECT_THROW(workspace.load(damaged), TableError);
    EXPECT_EQ(workspace.pages(), before);
    EXPECT_EQ(workspace.pageNames(PageKind::Sound), (QList<QByteArray> { "one", "two", "added" }));
    EXPECT_EQ(workspace.loadedPath(), first);
    EXPECT_EQ(workspace.readPage(PageKind::Sound, 1), sound("two"));

    workspace.newTable();
    EXPECT_EQ(workspace.pages().totalPageCount(), 0);
    EXPECT_TRUE(workspace.pageNames(PageKind::Sound).isEmpty());
    EXPECT_EQ(workspace.loadedPath(), first);
}
