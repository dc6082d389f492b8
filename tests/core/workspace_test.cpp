// Loading a table file, editing its pages in the working files, and saving it.

#include "loader.h"
#include "pagetext.h"
#include "tablebuilder.h"
#include "tableerror.h"
#include "testhelpers.h"
#include "workspace.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <numeric>
#include <random>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

class Table : public testing::Test
{
protected:
    QString write(const QByteArray &bytes)
    {
        writeFile(tablePath, bytes);
        return tablePath;
    }
    void load(const QList<QByteArray> &records) { workspace.load(write(table(records))); }
    QString loadError(const QByteArray &bytes)
    {
        return tableErrorOf([&] { LoadTableFile(write(bytes)); });
    }
    static NameList sounds(const LoadedTable &loaded)
    {
        return loaded.names[kindIndex(PageKind::Sound)];
    }

    TempDir dir;
    const QString tablePath = dir.path(u"table.gam"_s);
    Workspace workspace { dir.path() };
};

} // namespace

TEST_F(Table, SortsNamesCaseInsensitivelyAndEqualNamesKeepFileOrder)
{
    // "\x8a" is the Windows-1252 "Š": among the S in English, past every ASCII letter in C.
    const QString path =
        write(table({ sound("b"), sound("A"), sound("a"), sound("t"), sound("\x8ao") }));
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    for (const QLocale &locale : { QLocale::c(), english }) {
        const LoadedTable loaded = LoadTableFile(path, locale);
        NameList order { "A", "a", "b", "t" };
        order.insert(locale == english ? 3 : 4, "\x8ao");
        EXPECT_EQ(sounds(loaded), order) << locale.name().toStdString();
        EXPECT_EQ(slotMap(loaded.directory, PageKind::Sound).first(3), (QList<int> { 2, 3, 1 }));
        EXPECT_FALSE(loaded.versionMismatch);
    }
}

// The load orders each kind by prepared keys; the order must be the one that comparing name and
// padded slot through the locale's collator gives, for names that tie, fold or collate alike.
TEST_F(Table, SortsAsTheCollatorComparesInEveryLocale)
{
    const QByteArray alphabet("aAbB iI0 1-_.'\x8a\x9a\xc0\xe0\xc9\xe9\xdf\xd6\xf6\x80\x81\xff");
    std::mt19937 random(26);
    QList<QByteArray> records;
    QList<QByteArray> names;
    // Shared starts shorter and longer than the 8 bytes ordered before any comparing.
    const QByteArray starts[] = { "", "", "Laser ", "Numbered sound " };
    for (int i = 0; i < 1500; ++i) {
        QByteArray name = starts[random() % std::size(starts)];
        for (int n = int(random() % 4); n >= 0; --n)
            name += alphabet[int(random() % alphabet.size())];
        names.append(name);
        records.append(sound(name));
    }
    const QString path = write(table(records));
    for (const char *localeName : { "C", "en_US", "sv_SE", "tr_TR", "de_DE" }) {
        const QLocale locale(QString::fromLatin1(localeName));
        QCollator collator(locale);
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        QList<int> expected(names.size());
        std::iota(expected.begin(), expected.end(), 1);
        auto key = [&](int slot) {
            return textFromBytes(names[slot - 1]) + u"%1"_s.arg(slot, 5, 10, QLatin1Char('0'));
        };
        std::stable_sort(expected.begin(), expected.end(),
                         [&](int a, int b) { return collator.compare(key(a), key(b)) < 0; });
        const LoadedTable loaded = LoadTableFile(path, locale);
        EXPECT_EQ(slotMap(loaded.directory, PageKind::Sound), expected) << localeName;
        NameList expectedNames;
        for (int slot : expected)
            expectedNames.append(names[slot - 1]);
        EXPECT_EQ(sounds(loaded), expectedNames) << localeName;
    }
}

TEST_F(Table, SkipsUnacceptedKindsKeepsPassThroughAndFlagsOtherVersions)
{
    SoundPage oldSound;
    oldSound.version = 2;
    const QByteArray unknown = record(3, 1, "unknown");
    const LoadedTable loaded = LoadTableFile(
        write(table({ unknown, oldSound.record(), sound("kept"), passThroughRecord("x") })));
    EXPECT_TRUE(loaded.versionMismatch);
    EXPECT_EQ(sounds(loaded), NameList { "kept" });
    EXPECT_EQ(loaded.directory.resolve(PageKind::Sound, 0).position,
              unknown.size() + oldSound.record().size());
    ASSERT_EQ(loaded.directory.pageCount(PageKind::PassThrough), 1);
    EXPECT_EQ(loaded.directory.resolve(PageKind::PassThrough, 0).position,
              unknown.size() + oldSound.record().size() + sound("kept").size());
    // A generic page's name follows its object type.
    EXPECT_EQ(LoadTableFile(write(genericPage("Crate", 11))).names[kindIndex(PageKind::Generic)],
              NameList { "Crate" });
}

TEST_F(Table, LeavesOutALastPageThatTheEndOfTheFileCutsShort)
{
    const QByteArray head = sound("head");
    for (qsizetype kept : { 3, 10, 40 }) { // inside the length, the name, the fields
        const LoadedTable loaded = LoadTableFile(write(head + sound("tail").left(kept)));
        EXPECT_EQ(sounds(loaded), NameList { "head" }) << kept;
        EXPECT_EQ(loaded.directory.totalPageCount(), 1);
        EXPECT_EQ(loaded.cutOffRecord, head.size());
    }
    // A length of 0xFFFFFFFF is taken for no more than the file holds.
    const QByteArray huge = recordWithLength(kind::sound, 0xFFFFFFFF, Bytes().u16(1).str("huge"));
    EXPECT_EQ(LoadTableFile(write(head + huge)).cutOffRecord, head.size());
    EXPECT_EQ(LoadTableFile(write(head)).cutOffRecord, -1);
}

TEST_F(Table, StopsOnADamagedFileSayingWhatAndWhereAndChangesNothing)
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

    const QString first = dir.path(u"first.gam"_s);
    writeFile(first, table({ sound("one"), sound("two") }));
    workspace.load(first);
    workspace.addPage(PageKind::Sound, sound("added"), "added");
    const PageDirectory before = workspace.pages();
    EXPECT_THROW(workspace.load(write(table({ sound("three"), recordWithLength(7, 2, "") }))),
                 TableError);
    EXPECT_EQ(workspace.pages(), before);
    EXPECT_EQ(workspace.pageNames(PageKind::Sound), (NameList { "one", "two", "added" }));
    EXPECT_EQ(workspace.loadedPath(), first);
    EXPECT_EQ(workspace.readPage(PageKind::Sound, 1), sound("two"));
}

TEST_F(Table, AHundredThousandEqualNamesKeepFileOrderThroughEditAndSave)
{
    // With a five-digit slot key, slot 100000 ("a100000") would sort before slot 99999.
    constexpr int count = 100001;
    const QByteArray page = sound("a");
    QByteArray bytes;
    bytes.reserve(page.size() * count);
    for (int i = 0; i < count; ++i)
        bytes += page;
    workspace.load(write(bytes));
    ASSERT_EQ(workspace.pages().pageCount(PageKind::Sound), count);
    for (int position : { 99998, 99999, 100000 })
        EXPECT_EQ(workspace.pages().slotAt(PageKind::Sound, position), position + 1);

    workspace.applyPage(PageKind::Sound, 99999, sound("a", 5), "a");
    workspace.addPage(PageKind::Sound, sound("b"), "b");
    QList<int> progress, everyPercent(100);
    std::iota(everyPercent.begin(), everyPercent.end(), 1);
    workspace.save(dir.path(u"saved.gam"_s), [&](int percent) { progress.append(percent); });
    EXPECT_EQ(progress, everyPercent); // each once, so the saving window paints each once
    bytes.replace(99999 * page.size(), page.size(), sound("a", 5));
    EXPECT_EQ(readFile(dir.path(u"saved.gam"_s)), bytes + sound("b"));
}

// The check window reads the table's records: they must be the file a save writes, also
// past the writer's output pieces and with pages in the working files. Kinds are written in
// order, each in list order, pass-through pages last; a record may have an empty body.
TEST_F(Table, ASaveWritesByKindThenListOrderAndTheRecordsAreItsBytes)
{
    EXPECT_TRUE(workspace.records().isEmpty());
    QList<QByteArray> records;
    for (int level = 0; level < 6; ++level) // about 1.8 MB: more than one piece
        records.append(passThroughRecord(Bytes().str("level").zeros(300 * 1000 + level)));
    const QByteArray empty = passThroughRecord({});
    records += { empty, sound("c"), texture("b"), sound("a"), named<DoorPage>("Gate") };
    load(records);
    workspace.applyPage(PageKind::Sound, 0, sound("a", 5), "a");
    workspace.removePage(PageKind::Sound, 1); // c
    workspace.addPage(PageKind::Door, named<DoorPage>("Hatch"), "Hatch");
    workspace.addPage(PageKind::Texture, texture("a"), "a");

    const QString target = dir.path(u"out.gam"_s);
    const QList<QByteArray> current = workspace.records();
    const QByteArray bytes = current.join();
    QList<int> progress;
    EXPECT_FALSE(workspace.save(target, [&](int percent) { progress.append(percent); }).reloaded);
    EXPECT_EQ(bytes, readFile(target));
    EXPECT_EQ(current,
              QList<QByteArray>({ texture("b"), texture("a"), sound("a", 5),
                                  named<DoorPage>("Gate"), named<DoorPage>("Hatch") }) +
                  records.mid(0, 7));
    EXPECT_EQ(progress.last(), 100);
    EXPECT_EQ(workspace.loadedPath(), tablePath);

    // A loaded file changed since the load fails as a save would, rather than mix two files.
    writeFile(tablePath, table({ sound("x") }));
    const QString message = tableErrorOf([&] { workspace.records(); });
    EXPECT_TRUE(message.contains(u"has changed since it was loaded"_s)) << message.toStdString();
    EXPECT_EQ(tableErrorOf([&] { workspace.save(target); }), message);
}

// A page's record goes out with its kind's byte, whatever byte it came with, whether the save
// copies runs of the file or reads the file whole for a list in another order.
TEST_F(Table, ARecordIsSavedWithItsPagesKindByte)
{
    QByteArray foreign = sound("a", 3);
    foreign[0] = char(PageKind::Texture);
    const QString target = dir.path(u"out.gam"_s);
    for (const QList<QByteArray> &records :
         { QList<QByteArray>({ sound("a"), sound("b"), sound("c") }),
           QList<QByteArray>({ sound("c"), sound("b"), sound("a") }) }) {
        load(records);
        workspace.applyPage(PageKind::Sound, 0, foreign, "a");
        workspace.save(target);
        EXPECT_EQ(readFile(target), table({ sound("a", 3), sound("b"), sound("c") }));
    }
}

TEST_F(Table, SavingOverTheLoadedFileReloadsItWhateverItsSpelling)
{
    load({ sound("b"), sound("a") });
    workspace.applyPage(PageKind::Sound, 0, sound("a", 5), "a");
    workspace.addPage(PageKind::Sound, sound("c"), "c");
    ASSERT_TRUE(QFile::link(tablePath, dir.path(u"link.gam"_s)));
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"sub"_s));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    for (const QString &target : { u"link.gam"_s, dir.path(u"sub/../table.gam"_s) }) {
        EXPECT_TRUE(workspace.save(target).reloaded) << target.toStdString();
        EXPECT_EQ(readFile(tablePath), table({ sound("a", 5), sound("b"), sound("c") }));
        EXPECT_EQ(workspace.pageNames(PageKind::Sound), (NameList { "a", "b", "c" }));
        for (int p = 0; p < 3; ++p) // every page now lies in the saved file
            EXPECT_FALSE(workspace.pages().resolve(PageKind::Sound, p).inWorkingFile);
    }
    QDir::setCurrent(previous);
    EXPECT_TRUE(QFileInfo(dir.path(u"link.gam"_s)).isSymLink());
}

// What counts as unsaved: every page added, deleted, renamed or given a new record since the
// last load, save or New, once, whatever else happened to it; a page put back as it was does not.
TEST_F(Table, CountsThePagesThatDifferFromTheLastLoadOrSave)
{
    load({ sound("a"), sound("b"), texture("t") });
    EXPECT_EQ(workspace.unsavedPageCount(), 0);
    EXPECT_EQ(workspace.savedPath(), QFileInfo(tablePath).absoluteFilePath());

    const qint64 loadedA = workspace.recordOf(PageKind::Sound, 0);
    workspace.applyPage(PageKind::Sound, 0, sound("A"), "A");
    workspace.setPageName(PageKind::Sound, 0, "A2"); // the same page again
    EXPECT_EQ(workspace.unsavedPageCount(), 1);
    workspace.setPageName(PageKind::Texture, 0, "renamed");
    const int slotB = workspace.slotOf(PageKind::Sound, 1);
    workspace.removePage(PageKind::Sound, 1);
    workspace.addPage(PageKind::Door, named<DoorPage>("d"), "d");
    EXPECT_EQ(workspace.unsavedPageCount(), 4);

    // Undone: each back where it was, the texture by its name.
    workspace.pointAt(PageKind::Sound, 0, loadedA, "a");
    workspace.restorePage(PageKind::Sound, 1, slotB, "b");
    workspace.setPageName(PageKind::Texture, 0, "t");
    workspace.removePage(PageKind::Door, 0);
    EXPECT_EQ(workspace.unsavedPageCount(), 0);

    // A save to another file is the table's file from then on.
    workspace.applyPage(PageKind::Sound, 1, sound("b", 2), "b");
    const QString other = dir.path(u"other.gam"_s);
    workspace.save(other);
    EXPECT_EQ(workspace.unsavedPageCount(), 0);
    EXPECT_EQ(workspace.savedPath(), other);
    workspace.pointAt(PageKind::Sound, 1, workspace.recordOf(PageKind::Sound, 0), "b");
    EXPECT_EQ(workspace.unsavedPageCount(), 1);

    workspace.newTable();
    EXPECT_EQ(workspace.unsavedPageCount(), 0);
    EXPECT_EQ(workspace.savedPath(), QString());
    EXPECT_EQ(workspace.loadedPath(), QFileInfo(tablePath).absoluteFilePath());
    workspace.addPage(PageKind::Sound, sound("n"), "n");
    EXPECT_EQ(workspace.unsavedPageCount(), 1);
    // A failed load changes nothing, the count included.
    writeFile(dir.path(u"bad.gam"_s), "not a table");
    EXPECT_THROW(workspace.load(dir.path(u"bad.gam"_s)), TableError);
    EXPECT_EQ(workspace.unsavedPageCount(), 1);
}

TEST_F(Table, RefusesAnEmptyTableAndTheWorkspacesOwnFiles)
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
    // Nor under another spelling, before the file exists.
    const QString elsewhere = dir.path(u"elsewhere"_s);
    ASSERT_TRUE(QFile::link(dir.path(), elsewhere));
    const QString journal = elsewhere + u"/./"_s + WorkspaceFile::journal;
    EXPECT_EQ(
        tableErrorOf([&] { workspace.save(journal); }),
        u"Cannot save to \"%1\": the program keeps its own work in that file."_s.arg(journal));
    EXPECT_FALSE(QFile::exists(journal));

    // Nor is a working file loaded as a table: edits would be appended to it.
    const QString working = dir.path(u"sounds.$$$"_s);
    EXPECT_EQ(tableErrorOf([&] { workspace.load(working); }),
              u"Cannot load \"%1\": the program keeps its own work in that file."_s.arg(working));
    // Refused before a read made elsewhere is even taken in.
    bool taken = false;
    EXPECT_THROW(workspace.load(working,
                                [&] {
                                    taken = true;
                                    return Workspace::readTable(working);
                                }),
                 TableError);
    EXPECT_FALSE(taken);
    EXPECT_EQ(workspace.pages().pageCount(PageKind::Sound), 1);
}

// The demo table is test data like any other: made by the builder, never edited by hand.
TEST(DemoTable, TheCommittedDemoTableIsTheOneTheBuilderMakes)
{
    EXPECT_EQ(readFile(QStringLiteral(VK_SAMPLE_TABLE)), demoTable()) << "run make_sample";
}
