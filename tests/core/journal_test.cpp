// The session journal: what a crash leaves is restored as it was after the last acknowledged
// change, and nothing else is ever read as one.
#include "journal.h"
#include "randomedits.h"
#include "tablebuilder.h"
#include "testhelpers.h"
#include "workspace.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <random>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

QList<QByteArray> baseRecords()
{
    return { sound("Laser"),        sound("Boom", 3),
             texture("Wall"),       texture("Floor"),
             weaponPage("Blaster"), genericPage("Crate"),
             shipPage("Falcon"),    passThroughRecord("kept as it is") };
}

class Journaled : public testing::Test
{
protected:
    void SetUp() override
    {
        writeFile(tablePath, table(baseRecords()));
        ASSERT_TRUE(QDir().mkpath(work));
        workspace.startJournal();
        workspace.load(tablePath);
    }

    // A workspace restored from what the directory holds, in a copy of it, so that the
    // original goes on journaling where it was.
    std::unique_ptr<Workspace> restoredCopy(const QString &name)
    {
        const QString copy = dir.path(name) + u'/';
        EXPECT_TRUE(QDir().mkpath(copy));
        for (const QString &file : QDir(work).entryList(QDir::Files))
            EXPECT_TRUE(QFile::copy(work + file, copy + file));
        auto restored = std::make_unique<Workspace>(copy);
        restored->restore(*lastSession(copy));
        return restored;
    }

    QByteArray journal() const { return readFile(work + WorkspaceFile::journal); }

    TempDir dir;
    const QString tablePath = dir.path(u"table.gam"_s);
    const QString work = dir.path(u"work"_s) + u'/';
    Workspace workspace { work };
};

class RandomJournal : public Journaled, public testing::WithParamInterface<unsigned>
{
};

} // namespace

TEST_P(RandomJournal, ReplaysToTheSameSavedTableAndGoesOnJournaling)
{
    RandomEdits edits(workspace, tablePath, GetParam());
    for (int i = 0; i < 60; ++i)
        edits.step();
    const std::unique_ptr<Workspace> restored = restoredCopy(u"copy"_s);
    ASSERT_EQ(restored->records(), workspace.records());
    for (PageKind kind : kEditedKinds)
        EXPECT_EQ(restored->pageNames(kind), workspace.pageNames(kind));
    if (workspace.pages().totalPageCount() > 0) {
        workspace.save(dir.path(u"a.gam"_s));
        restored->save(dir.path(u"b.gam"_s));
        EXPECT_EQ(readFile(dir.path(u"a.gam"_s)), readFile(dir.path(u"b.gam"_s)));
    }

    // Both go on alike: the restored one appends past every record its journal names, and
    // journals onward so that a second crash is restored too.
    RandomEdits more(workspace, tablePath, GetParam() + 100);
    RandomEdits moreRestored(*restored, tablePath, GetParam() + 100);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(more.step(), moreRestored.step());
    EXPECT_EQ(restored->records(), workspace.records());
    const std::optional<LastSession> again = lastSession(restored->directory());
    Workspace twice(restored->directory());
    twice.restore(*again);
    EXPECT_EQ(twice.records(), workspace.records());
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomJournal, testing::Values(1u, 2u, 3u));

TEST_F(Journaled, CountsThePagesAndKindsNotSavedSinceTheLastLoadNewOrSave)
{
    const auto unsaved = [&] {
        const LastSession session = *lastSession(work);
        return std::pair { session.unsaved.pages, session.unsaved.kinds };
    };
    EXPECT_EQ(lastSession(work)->table, LastSession::Table::Unchanged);
    EXPECT_EQ(unsaved(), std::pair(0, 0));
    workspace.applyPage(PageKind::Sound, 0, sound("Boom", 4), "Boom");
    workspace.applyPage(PageKind::Sound, 1, sound("Zap"), "Zap");
    const qint64 before = workspace.recordOf(PageKind::Sound, 1);
    workspace.applyPage(PageKind::Sound, 1, sound("Zap", 2), "Zap");
    workspace.addPage(PageKind::Texture, texture("Roof"), "Roof");
    EXPECT_EQ(unsaved(), std::pair(3, 2));
    workspace.removePage(PageKind::Texture, 2); // an Add undone
    workspace.pointAt(PageKind::Sound, 1, before, "Zap");
    EXPECT_EQ(unsaved(), std::pair(2, 1));
    workspace.removePage(PageKind::Weapon, 0);
    EXPECT_EQ(unsaved(), std::pair(3, 2));

    workspace.save(dir.path(u"other.gam"_s));
    EXPECT_EQ(unsaved(), std::pair(0, 0));
    workspace.setPageName(PageKind::Ship, 0, "Hawk");
    EXPECT_EQ(unsaved(), std::pair(1, 1));
    workspace.save(tablePath);
    EXPECT_EQ(unsaved(), std::pair(0, 0));
    EXPECT_EQ(lastSession(work)->entries, 0);

    workspace.newTable();
    EXPECT_EQ(lastSession(work)->table, LastSession::Table::NotUsed);
    workspace.addPage(PageKind::Door, sound("not a door, but a record"), "d");
    EXPECT_EQ(unsaved(), std::pair(1, 1));
}

// The load's print of the table comes from its mapping, the restore's from the file.
TEST_F(Journaled, ATableOfAnySizeReadsAsUnchangedAfterItsLoad)
{
    for (const qsizetype nameSize : { 10, 70'000, 200'000 }) {
        writeFile(tablePath, table({ sound("a"), sound(QByteArray(nameSize, 'n')) }));
        workspace.load(tablePath);
        EXPECT_EQ(lastSession(work)->table, LastSession::Table::Unchanged) << nameSize;
    }
}

TEST_F(Journaled, ATornOrAlteredLastEntryIsIgnoredAndAnotherVersionIsRefused)
{
    workspace.applyPage(PageKind::Sound, 0, sound("Boom", 9), "Boom");
    const QList<QByteArray> afterFirst = workspace.records();
    const qsizetype firstEnd = journal().size();
    workspace.pointAt({ { PageKind::Texture, 0,
                          workspace.appendRecord(PageKind::Texture, texture("Tile")), "Tile" },
                        { PageKind::Ship, 0,
                          workspace.appendRecord(PageKind::Ship, shipPage("Hawk")), "Hawk" } });
    const QByteArray whole = journal();
    const QString journalPath = work + WorkspaceFile::journal;

    const auto restoredFrom = [&](const QByteArray &bytes) {
        writeFile(journalPath, bytes);
        const LastSession session = *lastSession(work);
        Workspace restored(dir.path(u"work"_s));
        restored.restore(session);
        return std::pair { session, restored.records() };
    };
    QByteArray altered = whole;
    altered[altered.size() - 3] = char(altered[altered.size() - 3] ^ 0x10);
    for (const QByteArray &bytes : { whole.first(firstEnd + 1), whole.first(firstEnd + 8),
                                     whole.first(whole.size() - 1), altered }) {
        const auto [session, records] = restoredFrom(bytes);
        EXPECT_TRUE(session.tornEnd);
        EXPECT_EQ(session.entries, 1);
        EXPECT_EQ(records, afterFirst); // the change of two pages is there whole or not at all
    }
    const auto [session, records] = restoredFrom(whole);
    EXPECT_FALSE(session.tornEnd);
    EXPECT_EQ(session.entries, 2);
    EXPECT_EQ(records, workspace.records());

    QByteArray newer = whole;
    newer[8] = 2;
    writeFile(journalPath, newer);
    EXPECT_EQ(tableErrorOf([&] { lastSession(work); }),
              u"The session journal \"%1\" was written by another version of VK Control Panel "
              "(journal version 2; this one reads version 1), so the last session's changes "
              "cannot be restored."_s.arg(journalPath));
    writeFile(journalPath, whole.first(30));
    EXPECT_EQ(tableErrorOf([&] { lastSession(work); }),
              u"The session journal \"%1\" is damaged (its start is cut short or altered), so the "
              "last session's changes cannot be restored."_s.arg(journalPath));
    writeFile(journalPath, "not a journal at all");
    EXPECT_TRUE(tableErrorOf([&] { lastSession(work); }).contains(u"no journal of this program"_s));
    QFile::remove(journalPath);
    EXPECT_FALSE(lastSession(work));
}

TEST_F(Journaled, AMissingWorkingFileOrTableIsNamedAndNothingIsLost)
{
    workspace.applyPage(PageKind::Sound, 1, sound("Zap", 5), "Zap");
    const QList<QByteArray> expected = workspace.records();
    const QByteArray sounds = readFile(work + u"sounds.$$$"_s);
    const QByteArray kept = journal();

    ASSERT_TRUE(QFile::remove(work + u"sounds.$$$"_s));
    Workspace other(dir.path(u"work"_s));
    EXPECT_EQ(tableErrorOf([&] { other.restore(*lastSession(work)); }),
              u"The working file \"%1sounds.$$$\" is missing or shorter than the last session "
              "left it, so the sound pages changed in that session cannot be restored. Nothing "
              "has been deleted."_s.arg(work));
    writeFile(work + u"sounds.$$$"_s, sounds.first(sounds.size() - 1));
    EXPECT_THROW(other.restore(*lastSession(work)), TableError);
    EXPECT_EQ(other.pages().totalPageCount(), 0);
    EXPECT_FALSE(other.journaling());
    EXPECT_EQ(journal(), kept);

    // The table changed or gone: restored only onto a table the user picks, with its pages.
    writeFile(work + u"sounds.$$$"_s, sounds);
    const QString copy = dir.path(u"copy.gam"_s);
    ASSERT_TRUE(QFile::copy(tablePath, copy));
    writeFile(tablePath, table(baseRecords() + QList { sound("New") }));
    EXPECT_EQ(lastSession(work)->table, LastSession::Table::Changed);
    EXPECT_EQ(tableErrorOf([&] { other.restore(*lastSession(work)); }),
              u"The table file \"%1\" has changed since the last session, so its changes cannot "
              "be put back onto it."_s.arg(tablePath));
    EXPECT_EQ(tableErrorOf([&] { other.restore(*lastSession(work), tablePath); }),
              u"The changes of the last session cannot be put onto \"%1\": it holds 3 sound "
              "pages where \"table.gam\" held 2."_s.arg(tablePath));
    ASSERT_TRUE(QFile::remove(tablePath));
    EXPECT_EQ(lastSession(work)->table, LastSession::Table::Missing);
    EXPECT_EQ(tableErrorOf([&] { other.restore(*lastSession(work)); }),
              u"The table file \"%1\" of the last session is gone."_s.arg(tablePath));
    other.restore(*lastSession(work), copy);
    EXPECT_EQ(other.records(), expected);
    EXPECT_EQ(other.loadedPath(), copy);
}

TEST_F(Journaled, AFullDiskWhileJournalingRefusesTheChangeAndLosesNothing)
{
    workspace.applyPage(PageKind::Sound, 0, sound("Boom", 1), "Boom");
    const QList<QByteArray> acknowledged = workspace.records();
    const PageDirectory pages = workspace.pages();
    const QString message =
        u"Cannot write the session journal \"%1session.$$$\", so the change was not made: File "
        "too large"_s.arg(work);
    {
        FileSizeLimit limit(journal().size() + 16);
        EXPECT_EQ(
            tableErrorOf([&] { workspace.applyPage(PageKind::Sound, 1, sound("Zap", 1), "Zap"); }),
            message);
        EXPECT_EQ(tableErrorOf([&] { workspace.addPage(PageKind::Sound, sound("S"), "S"); }),
                  message);
        EXPECT_THROW(workspace.removePage(PageKind::Texture, 0), TableError);
    }
    {
        FileSizeLimit limit(64); // not even a new journal's start
        EXPECT_THROW(workspace.newTable(), TableError);
        EXPECT_THROW(workspace.load(tablePath), TableError);
    }
    EXPECT_EQ(workspace.pages(), pages);
    EXPECT_EQ(workspace.records(), acknowledged);
    EXPECT_EQ(workspace.pageNames(PageKind::Sound), NameList({ "Boom", "Laser" }));
    // What the failed appends left is no entry, and hides none that follows.
    workspace.applyPage(PageKind::Sound, 1, sound("Zap", 2), "Zap");
    EXPECT_EQ(restoredCopy(u"copy"_s)->records(), workspace.records());
}

// The program killed at random moments while it edits: the restored table is the one the
// acknowledged changes make, or that and the change in flight, never half of one.
// The names of a kind sit back to back in one buffer, so every edit moves the names after it;
// and a journal written before they did holds them as a QList<QByteArray>.
TEST(NameListTest, EditsMoveOnlyTheirNameAndTheStreamIsAByteArrayList)
{
    NameList names { "Boom", "", "Laser" };
    QList<QByteArray> expected { "Boom", "", "Laser" };
    const auto edit = [&](auto onNames, auto onExpected) {
        onNames(names);
        onExpected(expected);
        ASSERT_EQ(names.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i)
            EXPECT_EQ(names[i], expected[i]) << i;
    };
    edit([](NameList &n) { n.insert(0, "First"); }, [](auto &e) { e.insert(0, "First"); });
    edit([](NameList &n) { n.insert(2, "Mid"); }, [](auto &e) { e.insert(2, "Mid"); });
    edit([](NameList &n) { n.insert(n.size(), "Last"); }, [](auto &e) { e.append("Last"); });
    edit([](NameList &n) { n.replace(1, "A longer name"); },
         [](auto &e) { e[1] = "A longer name"; });
    edit([](NameList &n) { n.replace(4, "L"); }, [](auto &e) { e[4] = "L"; });
    edit([](NameList &n) { n.replace(0, ""); }, [](auto &e) { e[0] = ""; });
    edit([](NameList &n) { n.remove(2); }, [](auto &e) { e.remove(2); });
    edit([](NameList &n) { n.remove(n.size() - 1); }, [](auto &e) { e.removeLast(); });

    // A copy keeps its names while the original changes.
    const NameList copy = names;
    names.replace(1, "Changed");
    EXPECT_EQ(copy[1], "A longer name");
    EXPECT_FALSE(copy == names);

    const auto streamed = [](const auto &value) {
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out << value;
        return bytes;
    };
    EXPECT_EQ(streamed(copy), streamed(expected));
    // A null name, as such a list may hold, reads back as an empty one.
    expected.append(QByteArray());
    QByteArray bytes = streamed(expected);
    QDataStream in(bytes);
    NameList read;
    in >> read;
    ASSERT_EQ(in.status(), QDataStream::Ok);
    EXPECT_EQ(read, (NameList { "", "A longer name", "", "L", "" }));
    // A stream cut short reads as a failure and no names.
    bytes.chop(3);
    QDataStream cut(bytes);
    cut >> read;
    EXPECT_NE(cut.status(), QDataStream::Ok);
    EXPECT_TRUE(read.isEmpty());
}

TEST(KillTest, EveryKillRestoresTheAcknowledgedChanges)
{
    TempDir dir;
    const QString tablePath = dir.path(u"table.gam"_s);
    writeFile(tablePath, table(baseRecords()));
    std::mt19937 random(20250101);
    const int runs = 50;
    int restoredRuns = 0;
    int inFlightKept = 0;
    QList<int> killPoints;
    for (int run = 0; run < runs; ++run) {
        const QString work = dir.path(u"run%1"_s.arg(run)) + u'/';
        ASSERT_TRUE(QDir().mkpath(work));
        const unsigned seed = random();
        QProcess driver;
        driver.start(QStringLiteral(VK_KILLDRIVER), { work, tablePath, QString::number(seed) });
        ASSERT_TRUE(driver.waitForStarted());
        QThread::msleep(random() % 400);
        driver.kill();
        driver.waitForFinished();
        int acknowledged = -1;
        for (const QByteArray &line : driver.readAllStandardOutput().split('\n'))
            if (line.startsWith("ack "))
                acknowledged = line.split(' ')[1].toInt();
        killPoints.append(acknowledged);

        // The same edits made again, without a journal.
        ASSERT_TRUE(QDir().mkpath(dir.path(u"replay%1"_s.arg(run))));
        Workspace replay(dir.path(u"replay%1"_s.arg(run)));
        // expected[k + 1]: the table after acknowledgement k ("ack 0" is the load).
        QList<QList<QByteArray>> expected = { replay.records() };
        replay.load(tablePath);
        RandomEdits edits(replay, tablePath, seed);
        for (int n = 0; n <= acknowledged; ++n) {
            expected.append(replay.records());
            edits.step();
        }
        expected.append(replay.records());
        const qsizetype last = acknowledged + 1;
        try {
            // Killed before its journal was started, it left none.
            QList<QByteArray> records;
            if (const std::optional<LastSession> session = lastSession(work)) {
                Workspace restored(work);
                restored.restore(*session);
                records = restored.records();
            }
            if (records == expected[last]) {
                ++restoredRuns;
            } else if (records == expected[last + 1]) {
                ++restoredRuns;
                ++inFlightKept;
            } else {
                ADD_FAILURE() << "run " << run << ": restored table differs after " << acknowledged
                              << " acknowledged changes";
            }
        } catch (const TableError &error) {
            ADD_FAILURE() << "run " << run << ": " << error.what();
        }
    }
    std::sort(killPoints.begin(), killPoints.end());
    std::printf("kill test: %d runs, %lld distinct kill points (killed after %d to %d "
                "acknowledged changes; %lld before the load was), restored %d (%d with the change "
                "in flight), lost %d\n",
                runs, qlonglong(QSet<int>(killPoints.begin(), killPoints.end()).size()),
                qMax(killPoints.front(), 0), killPoints.back(), qlonglong(killPoints.count(-1)),
                restoredRuns, inFlightKept, runs - restoredRuns);
    EXPECT_EQ(restoredRuns, runs);
}
