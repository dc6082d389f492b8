#include "controlpanel.h"

#include "about.h"
#include "check.h"
#include "checkwindow.h"
#include "doorpage.h"
#include "editorfixture.h"
#include "links.h"
#include "main.h"
#include "pageeditor.h"
#include "saving.h"
#include "startup.h"
#include "working.h"

#include <QFile>
#include <QLockFile>
#include <QMenu>
#include <QScreen>
#include <QToolButton>
#include <QTreeWidget>
#include <QUndoStack>

#include <sys/wait.h>
#include <unistd.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

class ControlPanelTest : public testing::Test
{
protected:
    ControlPanelTest()
    {
        panel.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&main()));
    }

    MainWindow &main() { return panel.mainWindow(); }
    PageEditor &sounds() { return *panel.editor(PageKind::Sound); }
    PageEditor &doors() { return *panel.editor(PageKind::Door); }
    void load(const QList<QByteArray> &records)
    {
        writeFile(tablePath, table(records));
        ASSERT_TRUE(panel.loadFile(tablePath));
    }
    QAction *menuItem(const char *name)
    {
        return main().mainMenu().findChild<QAction *>(QString::fromLatin1(name));
    }
    QStringList soundList()
    {
        QStringList names;
        for (const QByteArray &name : panel.workspace().pageNames(PageKind::Sound))
            names.append(QString::fromLatin1(name));
        EXPECT_EQ(sounds().pageList().model()->rowCount(), names.size());
        return names;
    }

    TempDir dir;
    QString tablePath = dir.path(u"table.gam"_s);
    ScriptedDialogs dialogs;
    ControlPanel panel { dir.path() + u'/', dialogs };
};

} // namespace

// A save over the loaded file reloads it, its pages listed in their new order; New empties
// every kind.
TEST_F(ControlPanelTest, SaveReloadsTheLoadedFileAndNewEmptiesTheTable)
{
    menuItem("Savetablefile1")->trigger(); // no dialog while there is nothing to save
    EXPECT_EQ(dialogs.takeMessages(), QStringList({ u"Error: Nothing to save!"_s }));
    EXPECT_TRUE(dialogs.fileRequests.isEmpty());

    load({ sound("Zed"), sound("Alpha"), texture("Wall") });
    sounds().selectPosition(1);
    sounds().add();
    EXPECT_EQ(soundList(), QStringList({ u"Alpha"_s, u"Zed"_s, u"New Sound"_s }));
    panel.saveTo(tablePath);
    EXPECT_EQ(dialogs.takeMessages(), QStringList({ u"Done: Table file saved"_s }));
    EXPECT_EQ(soundList(), QStringList({ u"Alpha"_s, u"New Sound"_s, u"Zed"_s }));

    menuItem("Newtablefile1")->trigger();
    EXPECT_TRUE(soundList().isEmpty());
    sounds().add();
    const QString target = dir.path(u"new.gam"_s);
    dialogs.fileAnswers = { target };
    menuItem("Savetablefile1")->trigger();
    EXPECT_EQ(dialogs.takeMessages(), QStringList({ u"Done: Table file saved"_s }));
    EXPECT_EQ(readFile(target), testsupport::SoundPage().record());
    EXPECT_TRUE(main().isEnabled() && !panel.savingWindow().isVisible());
}

TEST_F(ControlPanelTest, LoadTwiceListsPagesOnceAndWarnsOnceAboutOtherVersions)
{
    testsupport::SoundPage other;
    other.version = 2;
    const QString &path = tablePath;
    writeFile(path, table({ sound("b"), other.record(), sound("A"), sound("a") }));
    dialogs.fileAnswers = { path, path };
    dialogs.onMessage = [&] { // the warning comes while the loader window is up
        EXPECT_TRUE(panel.loaderWindow().isVisible());
        EXPECT_TRUE(panel.loaderWindow().cancelButton().isEnabled());
        EXPECT_FALSE(main().isEnabled());
    };
    menuItem("Loadtablefile1")->trigger();
    menuItem("Loadtablefile1")->trigger();
    EXPECT_EQ(soundList(), QStringList({ u"A"_s, u"a"_s, u"b"_s }));
    const QString warning = u"Warning!: "_s + kVersionMismatchMessage;
    EXPECT_EQ(dialogs.takeMessages(), QStringList({ warning, warning })); // once per load
    dialogs.onMessage = nullptr;
    EXPECT_TRUE(main().isEnabled() && !panel.loaderWindow().isVisible());

    menuItem("Loadtablefile1")->trigger(); // cancelled: nothing changes
    EXPECT_EQ(soundList().size(), 3);

    // A file cut short inside its last page: that page is left out, and the user is told.
    const QByteArray whole = sound("Cut");
    writeFile(path, table({ sound("Kept"), whole.left(whole.size() - 2) }));
    ASSERT_TRUE(panel.loadFile(path));
    EXPECT_EQ(soundList(), QStringList({ u"Kept"_s }));
    EXPECT_EQ(dialogs.takeMessages(),
              QStringList({ u"Warning!: The table file ends inside the page at byte %1, cut "
                            "short. That page has been left out and will not be saved."_s.arg(
                                sound("Kept").size()) }));
}

TEST_F(ControlPanelTest, FailedLoadOrSaveLeavesTheProgramUsable)
{
    load({ sound("Laser") });
    const QString damaged = dir.path(u"damaged.gam"_s);
    writeFile(damaged, sound("Cut") + recordWithLength(kind::sound, 3, Bytes().u16(1)));
    EXPECT_FALSE(panel.loadFile(damaged));
    EXPECT_EQ(dialogs.takeMessages().size(), 1);
    EXPECT_TRUE(main().isEnabled() && !panel.loaderWindow().isVisible());
    EXPECT_EQ(soundList(), QStringList({ u"Laser"_s }));
    EXPECT_EQ(panel.workspace().loadedPath(), QFileInfo(tablePath).absoluteFilePath());

    // The table file went away: the save fails and its target is left as it was.
    const QString target = dir.path(u"target.gam"_s);
    writeFile(target, "old");
    QFile::remove(tablePath);
    panel.saveTo(target);
    const QStringList messages = dialogs.takeMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(u"VK Control Panel: Cannot open the table file"))
        << messages[0].toStdString();
    EXPECT_EQ(readFile(target), "old");
    EXPECT_TRUE(main().isEnabled() && !panel.savingWindow().isVisible());
}

// The menu opens below its hot area; on a window with a border, shifted by half its width.
TEST(MainMenuTest, OpensBelowItsHotArea)
{
    EXPECT_EQ(menuPoint({ 200, 108, 525, 325 }, { 525, 325 }, { 7, 7, 16, 16 }), QPoint(207, 131));
    EXPECT_EQ(menuPoint({ 200, 108, 533, 352 }, { 525, 325 }, { 7, 7, 16, 16 }), QPoint(211, 131));
}

// New and Load table file and a save over the loaded file begin a new history; a save to
// another file keeps it, since every record it names is still where it was.
TEST_F(ControlPanelTest, OnlyANewTableEndsThePageHistory)
{
    PageEditor &sounds = this->sounds();
    load({ sound("Hum"), sound("Laser") });
    const auto change = [&] {
        sounds.selectPosition(1);
        sounds.deletePage();
        return sounds.history().canUndo();
    };

    ASSERT_TRUE(change());
    panel.saveTo(dir.path(u"other.gam"_s));
    EXPECT_TRUE(sounds.history().canUndo());
    sounds.history().undo();
    panel.saveTo(dir.path(u"other.gam"_s));
    EXPECT_EQ(splitRecords(readFile(dir.path(u"other.gam"_s))),
              QList<QByteArray>({ sound("Hum"), sound("Laser") }));

    ASSERT_TRUE(change());
    panel.saveTo(tablePath);
    EXPECT_FALSE(sounds.history().canUndo());
    EXPECT_FALSE(sounds.history().canRedo());

    sounds.add();
    ASSERT_TRUE(sounds.history().canUndo());
    panel.newTable();
    EXPECT_FALSE(sounds.history().canUndo());

    sounds.add();
    ASSERT_TRUE(panel.loadFile(tablePath));
    EXPECT_FALSE(sounds.history().canUndo());
    // A load that fails changes nothing, the history included.
    sounds.add();
    writeFile(dir.path(u"bad.gam"_s), "not a table");
    EXPECT_FALSE(panel.loadFile(dir.path(u"bad.gam"_s)));
    EXPECT_TRUE(sounds.history().canUndo());
}

TEST(DragStripTest, TheWindowSystemMovesTheWindowWhereItCan)
{
    class Strip : public DragStrip
    {
    public:
        using DragStrip::DragStrip;
        bool systemMove = true;
        int asked = 0;

    protected:
        bool startSystemMove() override
        {
            ++asked;
            return systemMove;
        }
    };
    QWidget window;
    window.resize(300, 100);
    auto *strip = new Strip({ 0, 0, 300, 25 }, &window);
    window.move(200, 108);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const auto drag = [&] {
        QTest::mousePress(strip, Qt::LeftButton, {}, { 100, 10 });
        QTest::mouseMove(strip, { 130, 5 });
        QTest::mouseRelease(strip, Qt::LeftButton, {}, { 130, 5 });
    };
    drag(); // the window system moves it; the strip must not move it too
    EXPECT_EQ(strip->asked, 1);
    EXPECT_EQ(window.pos(), QPoint(200, 108));
    strip->systemMove = false;
    QTest::mouseMove(strip, { 50, 5 }); // no press: no move
    drag();
    QTest::mouseMove(strip, { 140, 10 }); // released: no move
    EXPECT_EQ(window.pos(), QPoint(230, 103));
}

TEST_F(ControlPanelTest, LinksAboutBoxAndExit)
{
    menuItem("Checkfornewversions1")->trigger();
    QTest::mouseClick(&main().webLink(), Qt::LeftButton);
    ASSERT_EQ(dialogs.urls.size(), 2);
    EXPECT_EQ(dialogs.urls[0].adjusted(QUrl::RemoveAuthority),
              QUrl(u"http:/cgi/autoupdate.cgi?id=vkcp&ver=101"_s));
    EXPECT_EQ(dialogs.urls[1], Links::webSite());

    // The about box opens centred on the screen, within the width of a window frame.
    main().move(10, 20);
    QTest::qWait(0);
    QPoint centre;
    QTimer::singleShot(0, &panel.aboutBox(), [&] {
        centre = panel.aboutBox().geometry().center();
        QTest::mouseClick(&panel.aboutBox().okButton(), Qt::LeftButton);
    });
    QTest::mouseClick(&main().aboutButton(), Qt::LeftButton);
    EXPECT_FALSE(panel.aboutBox().isVisible());
    EXPECT_LE((centre - main().screen()->availableGeometry().center()).manhattanLength(), 8);
    emit panel.aboutBox().webLink().linkActivated({});
    EXPECT_EQ(dialogs.urls.last(), Links::webSite());
    emit panel.aboutBox().authorLink().linkActivated({});
    EXPECT_EQ(dialogs.urls.last().scheme(), u"mailto");

    int ends = 0;
    QObject::connect(&panel, &ControlPanel::endRequested, [&] { ++ends; });
    menuItem("Exit1")->trigger();
    QTest::mouseClick(&main().closeArea(), Qt::LeftButton);
    QTest::mouseClick(&panel.loaderWindow().cancelButton(), Qt::LeftButton);
    EXPECT_EQ(ends, 3);
}

TEST_F(ControlPanelTest, HotAreasOpenTheEditorsModally)
{
    for (PageKind kind : kEditedKinds)
        EXPECT_TRUE(main().hotArea(kind).isEnabled());
    EXPECT_TRUE(inModal(
        sounds(), [&] { QTest::mouseClick(&main().hotArea(PageKind::Sound), Qt::LeftButton); },
        [] {}));
    EXPECT_FALSE(sounds().isVisible());
}

// A new program cleans its workspace of an earlier one's files and keeps the user's. Qt
// appends a display name, once one is set, to the title of every window and message box: the
// program sets none, and captions its errors with its name.
TEST(StartUpTest, CleansTheWorkspaceAndTitlesAreTheCaptionsAlone)
{
    const QString previous = QGuiApplication::applicationDisplayName();
    QGuiApplication::setApplicationDisplayName(QString());
    nameApplication();
    TempDir dir;
    for (QLatin1StringView file : Workspace::cleanUpFiles())
        writeFile(dir.path(file), "left over");
    writeFile(dir.path(u"mine.gam"_s), "kept");
    ScriptedDialogs dialogs;
    {
        ControlPanel panel(dir.path() + u'/', dialogs);
        // The left-over journal is gone too; the one there is the new session's, with no changes.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
                  QStringList({ u"mine.gam"_s, u"session.$$$"_s }));
        EXPECT_FALSE(lastSession(dir.path())->hasUnsavedChanges());
        EXPECT_EQ(QGuiApplication::applicationDisplayName(), QString());
        dialogs.error(nullptr, u"Broken."_s);
        EXPECT_EQ(dialogs.takeMessages(), QStringList({ u"VK Control Panel: Broken."_s }));
    }
    QGuiApplication::setApplicationDisplayName(previous);
}

TEST(StartUpTest, WorkspaceFallsBackWhenTheProgramDirectoryIsReadOnly)
{
    TempDir dir;
    EXPECT_EQ(chooseWorkspaceDirectory(dir.path(), u"/unused"_s), dir.path() + u'/');
    const QString fallback = dir.path(u"data/vkcp"_s);
    EXPECT_EQ(chooseWorkspaceDirectory(u"/proc/"_s, fallback), fallback + u'/');
    EXPECT_TRUE(QFileInfo(fallback).isDir());
    EXPECT_EQ(chooseWorkspaceDirectory(u"/proc/"_s, u"/proc/vkcp"_s), QString());
}

TEST(StartUpTest, OneProgramPerWorkspaceAndAKilledOnesLockIsTakenOver)
{
    TempDir dir;
    {
        const auto first = lockWorkspace(dir.path());
        ASSERT_TRUE(first);
        EXPECT_FALSE(lockWorkspace(dir.path()));
    }
    EXPECT_TRUE(lockWorkspace(dir.path())); // released on exit

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QLockFile lock(dir.path(WorkspaceFile::lock));
        _exit(lock.tryLock(0) ? (raise(SIGKILL), 0) : 3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    ASSERT_TRUE(QFile::exists(dir.path(WorkspaceFile::lock)));
    EXPECT_TRUE(lockWorkspace(dir.path()));
}

namespace {

// Kind, page, field and problem of each finding, as the window's rows show them.
QStringList rowsOf(const QList<Finding> &findings)
{
    QStringList rows;
    for (const Finding &finding : findings)
        rows.append(QStringList({ finding.kind, QString::fromLatin1(finding.name), finding.captions,
                                  finding.problem })
                        .join(u" | "_s));
    return rows;
}

class CheckWindowTest : public ControlPanelTest
{
protected:
    CheckWindow &window() { return panel.checkWindow(); }
    QTreeWidget &list() { return window().findingList(); }
    void openFromTheMenu() { menuItem("Checktable1")->trigger(); }

    QStringList shownRows()
    {
        QStringList rows;
        for (int row = 0; row < list().topLevelItemCount(); ++row) {
            QStringList columns;
            for (int column = 0; column < list().columnCount(); ++column)
                columns.append(list().topLevelItem(row)->text(column));
            rows.append(columns.join(u" | "_s));
        }
        return rows;
    }

    // What the check finds in the file a save writes now.
    QList<Finding> findingsOfTheSavedTable()
    {
        const QString saved = dir.path(u"saved.gam"_s);
        panel.workspace().save(saved);
        return checkTable(readFile(saved));
    }

    void doubleClick(int row)
    {
        QTreeWidgetItem *item = list().topLevelItem(row);
        ASSERT_TRUE(item);
        const QPoint at = list().visualItemRect(item).center();
        QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list().viewport(), Qt::LeftButton, {}, at);
    }
};

testsupport::DoorPage door(const QByteArray &name, const QByteArray &openSound,
                           const QByteArray &closeSound = {})
{
    testsupport::DoorPage page;
    page.name = name;
    page.openSound = openSound;
    page.closeSound = closeSound;
    return page;
}

} // namespace

TEST_F(CheckWindowTest, ItsRowsAreWhatCheckFindsInTheTableASaveWouldWrite)
{
    // Each item of the menu on a letter of its own.
    QStringList letters;
    for (const QAction *action : panel.mainWindow().mainMenu().actions())
        if (const qsizetype amp = action->text().indexOf(u'&'); amp >= 0)
            letters.append(action->text().mid(amp + 1, 1).toLower());
    EXPECT_EQ(letters.removeDuplicates(), 0) << letters.join(u' ').toStdString();

    testsupport::ShipPage falcon;
    falcon.weapons[0].gunpointNames[0] = "Zap";
    load({ sound("Hum"), sound("Zap"), sound("Hum"), door("Gate", "Gone").record(),
           door("Arch", "Hum", "Zap").record(), texture("Rock"), falcon.record() });
    // An edit not yet saved that breaks a reference.
    doors().selectPosition(0); // Arch
    doors().form().edit(::DoorPage::CloseSound)->setText(u"Missing"_s);
    doors().apply();

    QStringList rows;
    QString summary;
    QStringList gunpointHints;
    EXPECT_TRUE(inModal(
        window(), [&] { openFromTheMenu(); },
        [&] {
            rows = shownRows();
            summary = window().summary().text();
            // The field's key, as vktable names it, is its hint and its description; the
            // other columns' hint is the row whole.
            const QTreeWidgetItem *gunpoint = list().topLevelItem(int(rows.size()) - 1);
            gunpointHints = { gunpoint->toolTip(2),
                              gunpoint->data(2, Qt::AccessibleDescriptionRole).toString(),
                              gunpoint->toolTip(3) };
            // The keyboard starts on the first row, where Enter opens its page.
            EXPECT_EQ(QApplication::focusWidget(), &list());
            EXPECT_EQ(window().currentRow(), 0);
            list().setCurrentItem(list().topLevelItem(2));
        }));
    const QList<Finding> expected = findingsOfTheSavedTable();
    EXPECT_EQ(rows, rowsOf(expected));
    EXPECT_TRUE(rows.contains(u"door | Arch | Close sound | names no sound page \"Missing\""_s));
    EXPECT_EQ(gunpointHints,
              QStringList({ u"weapons[0].gunpoint_names[0]"_s, u"weapons[0].gunpoint_names[0]"_s,
                            u"ship \"New Ship\": Ship weapons #1 > Gunpoint 1 > Weapon name: "
                            u"names no weapon or generic page \"Zap\""_s }));
    EXPECT_TRUE(summary.startsWith(u"%1 problems found."_s.arg(expected.size())))
        << summary.toStdString();
    EXPECT_TRUE(dialogs.takeMessages().isEmpty());

    // Check again: the pages as they are then, the current row kept. Zap becomes Gone.
    EXPECT_TRUE(inModal(
        window(), [&] { openFromTheMenu(); },
        [&] {
            EXPECT_EQ(window().currentRow(), 0); // a new check starts at the top
            list().setCurrentItem(list().topLevelItem(1));
            panel.workspace().applyPage(PageKind::Sound, 2, sound("Gone"), "Gone");
            QTest::mouseClick(&window().checkAgainButton(), Qt::LeftButton);
            rows = shownRows();
            EXPECT_EQ(rows.size(), 3);
            EXPECT_EQ(window().currentRow(), 1);
        }));
    EXPECT_EQ(rows, rowsOf(findingsOfTheSavedTable()));
    EXPECT_FALSE(rows.contains(u"door | Gate | Open sound | names no sound page \"Gone\""_s));
}

// A page not the first of its kind, after a pasted page of another version that the list holds
// but a finding's position does not count.
TEST_F(CheckWindowTest, ARowOpensItsPageInItsEditorAndTheCheckRunsAgainWhenItCloses)
{
    testsupport::DoorPage older = door("Older", "Gone");
    older.version = 2;
    load({ sound("Hum"), door("Arch", "Hum").record(), door("Gate", "Gone").record() });
    panel.workspace().addPage(PageKind::Door, older.record(), "Older");
    panel.workspace().addPage(PageKind::Door, door("Hatch", "Hum", "Lost").record(), "Hatch");
    doors().reloadList();
    ASSERT_EQ(panel.workspace().pageNames(PageKind::Door),
              QList<QByteArray>({ "Arch", "Gate", "Older", "Hatch" }));

    const auto rowOf = [&](const QString &page) {
        for (int row = 0; row < list().topLevelItemCount(); ++row)
            if (list().topLevelItem(row)->text(1) == page)
                return row;
        ADD_FAILURE() << "no row for " << page.toStdString();
        return 0;
    };
    EXPECT_TRUE(inModal(
        window(), [&] { openFromTheMenu(); },
        [&] {
            ASSERT_EQ(shownRows(), rowsOf(findingsOfTheSavedTable()));
            const int rows = list().topLevelItemCount();
            ASSERT_EQ(rows, 3); // Gate, Older and Hatch

            // Double-click: the door editor, Hatch selected and shown though a filter left
            // there hid it; fixed there, its row goes.
            doors().filterField().setText(u"Arch"_s);
            int selected = -1;
            QString filter;
            const int hatch = rowOf(u"Hatch"_s);
            EXPECT_TRUE(inModal(
                doors(), [&] { doubleClick(hatch); },
                [&] {
                    selected = doors().selectedPosition();
                    filter = doors().filterField().text();
                    doors().form().edit(::DoorPage::CloseSound)->setText(u"Hum"_s);
                    doors().apply();
                }));
            EXPECT_EQ(selected, 3);
            EXPECT_EQ(filter, QString());
            EXPECT_EQ(shownRows(), rowsOf(findingsOfTheSavedTable()));
            EXPECT_EQ(list().topLevelItemCount(), rows - 1);
            EXPECT_EQ(window().currentRow(),
                      qMin(hatch, rows - 2)); // where it was, within the rows

            // Enter: Gate, the second door.
            list().setCurrentItem(list().topLevelItem(rowOf(u"Gate"_s)));
            list().setFocus();
            EXPECT_TRUE(inModal(
                doors(), [&] { QTest::keyClick(&list(), Qt::Key_Return); },
                [&] { selected = doors().selectedPosition(); }));
            EXPECT_EQ(selected, 1);

            // The program does not read a page of another version: no editor opens for it.
            const int olderRow = rowOf(u"Older"_s);
            EXPECT_FALSE(inModal(
                doors(), [&] { doubleClick(olderRow); }, [] {}));
            EXPECT_TRUE(
                list().topLevelItem(olderRow)->toolTip(3).contains(u"cannot read this page"_s));
            EXPECT_TRUE(window().isVisible());
        }));
    EXPECT_TRUE(dialogs.takeMessages().isEmpty());
}

TEST_F(CheckWindowTest, SaysSoWhenItFindsNothingAndShowsNothingWhenTheTableCannotBeRead)
{
    const auto check = [&] {
        QString summary;
        EXPECT_TRUE(inModal(
            window(), [&] { openFromTheMenu(); },
            [&] {
                EXPECT_EQ(list().topLevelItemCount(), 0);
                summary = window().summary().text();
            }));
        return summary;
    };
    load({ sound("Hum"), door("Gate", "Hum", "Hum").record(), texture("Rock") });
    ASSERT_TRUE(findingsOfTheSavedTable().isEmpty());
    EXPECT_EQ(check(), u"No problems found.");

    // The loaded file changed on disk: the standard error box, and no window.
    load({ sound("Hum"), door("Gate", "Gone").record() });
    writeFile(tablePath, table({ sound("Other") }));
    EXPECT_FALSE(inModal(
        window(), [&] { openFromTheMenu(); }, [] {}));
    QStringList messages = dialogs.takeMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(u"VK Control Panel: The table file"_s) &&
                messages[0].contains(u"has changed since it was loaded"_s))
        << messages[0].toStdString();

    // Changed while the window is open: Check again says so and closes the window, whose
    // findings would lead to the wrong pages.
    load({ sound("Hum"), door("Gate", "Gone").record() });
    bool closed = false;
    EXPECT_TRUE(inModal(
        window(), [&] { openFromTheMenu(); },
        [&] {
            EXPECT_EQ(list().topLevelItemCount(), 1);
            writeFile(tablePath, table({ sound("Other") }));
            QTest::mouseClick(&window().checkAgainButton(), Qt::LeftButton);
            closed = !window().isVisible();
        }));
    EXPECT_TRUE(closed);
    messages = dialogs.takeMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(u"has changed since it was loaded"_s));
}
