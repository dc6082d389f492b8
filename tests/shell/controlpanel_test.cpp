#include "controlpanel.h"

#include "about.h"
#include "check.h"
#include "checkwindow.h"
#include "doorpage.h"
#include "editorfixture.h"
#include "links.h"
#include "main.h"
#include "pageeditor.h"
#include "pageformats.h"
#include "pictures.h"
#include "saving.h"
#include "settingswindow.h"
#include "soundpage.h"
#include "startup.h"
#include "working.h"

#include <QFile>
#include <QFontMetricsF>
#include <QLabel>
#include <QLockFile>
#include <QMenu>
#include <QPixmap>
#include <QScreen>
#include <QTreeWidget>
#include <QUndoStack>

#include <future>

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
        for (QByteArrayView name : panel.workspace().pageNames(PageKind::Sound))
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

    // The table named at start loads without the loader window; its warning still comes.
    writeFile(path, table({ sound("b"), other.record() }));
    dialogs.onMessage = [&] { EXPECT_FALSE(panel.loaderWindow().isVisible()); };
    ASSERT_TRUE(panel.openAtStart(path));
    EXPECT_EQ(soundList(), QStringList({ u"b"_s }));
    EXPECT_EQ(dialogs.takeMessages(), QStringList({ warning }));
    dialogs.onMessage = nullptr;

    // The start reads it on another thread while it makes the windows: the same table, the same
    // warning, and the session journaled onto it.
    writeFile(path, table({ sound("c"), other.record() }));
    std::future<Workspace::TableRead> reading =
        std::async(std::launch::async, &Workspace::readTable, path);
    ASSERT_TRUE(panel.openAtStart(path, [&reading] { return reading.get(); }));
    EXPECT_EQ(soundList(), QStringList({ u"c"_s }));
    EXPECT_EQ(dialogs.takeMessages(), QStringList({ warning }));
    const std::optional<LastSession> session = lastSession(dir.path());
    ASSERT_TRUE(session);
    EXPECT_EQ(session->tablePath, QFileInfo(path).absoluteFilePath());
    EXPECT_EQ(session->table, LastSession::Table::Unchanged);
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

// A screen scaled by 1.5 or more shows the art drawn at twice the size: each picture of the main
// window has it, and it covers the same place. Every picture reads by its suffix alone, so the
// window is made and painted without loading a single image plugin.
TEST(MainWindowArtTest, EveryPictureHasATwinAtTwiceItsSizeAndTheWindowPaintsItsArt)
{
    for (const QString &name : { u"background.bmp"_s, u"about.png"_s, u"about-disabled.png"_s,
                                 u"weblink.png"_s, u"vkcp-128.png"_s, u"vkcp.png"_s }) {
        const QImage one = readPicture(u":/art/"_s + name);
        ASSERT_FALSE(one.isNull()) << name.toStdString();
        if (name.startsWith(u"vkcp"))
            continue;
        const QImage two = readPicture(u":/art/%1@2x.png"_s.arg(name.section(u'.', 0, 0)));
        EXPECT_EQ(two.size(), one.size() * 2) << name.toStdString();
        EXPECT_EQ(two.devicePixelRatio(), 2) << name.toStdString();
    }

    // The art is read on another thread while the window is made; the first paint shows it.
    MainWindow window;
    const QImage shot = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage art = readPicture(u":/art/background.bmp"_s).convertToFormat(QImage::Format_RGB32);
    for (const QPoint at : { QPoint(300, 40), QPoint(170, 290), QPoint(12, 200) })
        EXPECT_EQ(shot.pixel(at), art.pixel(at)) << at.x() << "," << at.y();
    // The buttons' own pictures lie over the art.
    for (const QRect button : { QRect(496, 296, 25, 25), QRect(8, 303, 52, 16) }) {
        int changed = 0;
        for (int y = button.top(); y <= button.bottom(); ++y)
            for (int x = button.left(); x <= button.right(); ++x)
                changed += shot.pixel(x, y) != art.pixel(x, y);
        EXPECT_GT(changed, button.width() * button.height() / 4) << button.x();
    }

    QFile maps(u"/proc/self/maps"_s);
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
    EXPECT_FALSE(maps.readAll().contains("/imageformats/"));
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
    dialogs.answers = { UserDialogs::Answer::Discard }; // to "Save changes...?"
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

// Each label stays on the plate the art draws for it, which ends 3 pixels short of its panel.
TEST_F(ControlPanelTest, HotAreasOpenTheEditorsModallyAndTheirLabelsFitTheirPlates)
{
    for (PageKind kind : kEditedKinds) {
        EXPECT_TRUE(main().hotArea(kind).isEnabled());
        const QString caption = QString::fromLatin1(pageFormat(kind).windowTitle);
        int found = 0;
        for (const QLabel *label : main().findChildren<QLabel *>()) {
            if (label->text() != caption)
                continue;
            ++found;
            EXPECT_LE(label->x() + QFontMetricsF(label->font()).horizontalAdvance(caption),
                      main().hotArea(kind).geometry().right() - 3)
                << label->text().toStdString();
        }
        EXPECT_EQ(found, 1) << caption.toStdString();
    }
    EXPECT_TRUE(inModal(
        sounds(), [&] { QTest::mouseClick(&main().hotArea(PageKind::Sound), Qt::LeftButton); },
        [] {}));
    EXPECT_FALSE(sounds().isVisible());
}

namespace {

// Runs the steps in the window that open shows modally, whichever it is, once it is active,
// then closes it. Returns the window, or nullptr when open showed none.
QWidget *inShownModal(const std::function<void()> &open,
                      const std::function<void(QWidget &)> &steps)
{
    QWidget *shown = nullptr;
    QTimer::singleShot(0, qApp, [&] {
        shown = QApplication::activeModalWidget();
        if (!shown)
            return;
        EXPECT_TRUE(QTest::qWaitFor([&] { return shown->isActiveWindow(); }));
        steps(*shown);
        shown->close();
    });
    open();
    QCoreApplication::processEvents(); // the timer, when nothing was shown
    return shown;
}

} // namespace

// Only the main window is made at start. A hot area makes its editor when first clicked, and it
// shows the table as it is then, as one made at start would: centred, the pages loaded since
// listed, none selected. Its settings windows wait for their own first opening; once made,
// each window is kept.
TEST_F(ControlPanelTest, HotAreasOpenEditorsMadeWhenFirstOpened)
{
    EXPECT_TRUE(main().findChildren<QDialog *>().isEmpty());
    for (PageKind kind : kEditedKinds)
        EXPECT_EQ(panel.madeEditor(kind), nullptr);
    load({ weaponPage("Laser"), weaponPage("Blaster"), sound("Hum") });
    const auto click = [&] {
        QTest::mouseClick(&main().hotArea(PageKind::Weapon), Qt::LeftButton);
    };
    QStringList listed;
    QWidget *physics = nullptr;
    QWidget *weapons = inShownModal(click, [&](QWidget &window) {
        PageEditor *editor = panel.madeEditor(PageKind::Weapon);
        ASSERT_EQ(&window, editor);
        const QPoint offCentre =
            window.geometry().center() - window.screen()->availableGeometry().center();
        EXPECT_LE(offCentre.manhattanLength(), 8);
        const QAbstractItemModel &list = *editor->pageList().model();
        for (int row = 0; row < list.rowCount(); ++row)
            listed.append(list.index(row, 0).data().toString());
        EXPECT_EQ(editor->selectedPosition(), -1);
        EXPECT_TRUE(main().findChildren<SettingsWindow *>().isEmpty());
        editor->selectPosition(0);
        for (QPushButton *button : editor->findChildren<QPushButton *>())
            if (button->text() == u"&Physics")
                physics = inShownModal([&] { button->click(); }, [](QWidget &) {});
    });
    ASSERT_TRUE(weapons);
    EXPECT_EQ(listed, QStringList({ u"Blaster"_s, u"Laser"_s }));
    ASSERT_TRUE(physics);
    EXPECT_EQ(physics->windowTitle(), u"Physics");
    EXPECT_EQ(main().findChildren<SettingsWindow *>(),
              QList<SettingsWindow *>({ qobject_cast<SettingsWindow *>(physics) }));
    EXPECT_EQ(inShownModal(click, [](QWidget &) {}), weapons);
    for (PageKind kind : kEditedKinds)
        EXPECT_EQ(panel.madeEditor(kind) != nullptr, kind == PageKind::Weapon);
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

TEST(StartUpTest, WorkspaceFallsBackWhenTheProgramDirectoryIsReadOnlyOrInstalled)
{
    TempDir dir;
    EXPECT_EQ(chooseWorkspaceDirectory(dir.path(), u"/unused"_s), dir.path() + u'/');
    const QString fallback = dir.path(u"data/vkcp"_s);
    EXPECT_EQ(chooseWorkspaceDirectory(u"/proc/"_s, fallback), fallback + u'/');
    EXPECT_TRUE(QFileInfo(fallback).isDir());
    EXPECT_EQ(chooseWorkspaceDirectory(u"/proc/"_s, u"/proc/vkcp"_s), QString());

    // Installed, the program keeps out of its directory even where it could write (as root).
    const QString bin = dir.path(u"usr/bin"_s);
    ASSERT_TRUE(QDir().mkpath(bin));
    EXPECT_EQ(chooseWorkspaceDirectory(bin, fallback), bin + u'/');
    ASSERT_TRUE(QDir().mkpath(installedDataDirectory(bin)));
    EXPECT_EQ(chooseWorkspaceDirectory(bin, fallback), fallback + u'/');
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
              NameList({ "Arch", "Gate", "Older", "Hatch" }));

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

namespace {

// Exit, New and Load table file, as the user gives each.
struct Leave
{
    ControlPanel::Leaving leaving;
    const char *menuItem;
    QString question; // of a table loaded from table.gam
};

class UnsavedWorkTest : public ControlPanelTest, public testing::WithParamInterface<Leave>
{
protected:
    UnsavedWorkTest()
    {
        QObject::connect(&panel, &ControlPanel::endRequested, [this] { ++ends; });
    }
    // Gives the command; true when it went on: the program ended, the table was emptied, the
    // Load dialog opened.
    bool leave()
    {
        const int endsBefore = ends;
        dialogs.fileRequests.clear();
        menuItem(GetParam().menuItem)->trigger();
        switch (GetParam().leaving) {
        case ControlPanel::Leaving::Closing:
            return ends > endsBefore;
        case ControlPanel::Leaving::New:
            return panel.workspace().pages().totalPageCount() == 0;
        case ControlPanel::Leaving::Load:
            break;
        }
        return !dialogs.fileRequests.isEmpty() &&
            dialogs.fileRequests.last().title == u"Load table file";
    }
    void loadAndApply()
    {
        load({ sound("Hum"), sound("Laser") });
        sounds().selectPosition(0);
        sounds().apply();
    }
    QString status()
    {
        QTest::qWait(0); // the strip follows once the changes of the moment are done
        return main().statusStrip().accessibleName();
    }
    int ends = 0;
};

} // namespace

// The question comes exactly when a page differs from the last load or save, after the
// editors' own about typing not yet applied; Cancel keeps everything, Don't save goes on.
TEST_P(UnsavedWorkTest, AsksOnlyWhenPagesDifferFromTheLastLoadOrSave)
{
    load({ sound("Hum"), sound("Laser") });
    EXPECT_TRUE(leave());
    EXPECT_TRUE(dialogs.takeMessages().isEmpty());

    load({ sound("Hum"), sound("Laser") });
    // The editor is made only now, after the load: its typing is asked about all the same.
    EXPECT_EQ(panel.madeEditor(PageKind::Sound), nullptr);
    sounds().selectPosition(0);
    sounds().form().edit(::SoundPage::MinDistance)->setText(u"5"_s);
    dialogs.answers = { UserDialogs::Answer::Apply, UserDialogs::Answer::Cancel };
    EXPECT_FALSE(leave());
    EXPECT_EQ(dialogs.takeMessages(),
              QStringList({ u"Sounds: Apply the changes to \"Hum\"?"_s,
                            u"VK Control Panel: "_s + GetParam().question }));
    EXPECT_EQ(dialogs.choices.last().apply, u"&Save");
    EXPECT_EQ(dialogs.choices.last().discard, u"&Don't save");
    EXPECT_EQ(soundList(), QStringList({ u"Hum"_s, u"Laser"_s }));
    EXPECT_EQ(panel.workspace().unsavedPageCount(), 1);
    EXPECT_TRUE(dialogs.fileRequests.isEmpty());

    sounds().history().undo(); // back as loaded
    EXPECT_TRUE(leave());
    EXPECT_TRUE(dialogs.takeMessages().isEmpty());

    loadAndApply();
    panel.saveTo(dir.path(u"other.gam"_s));
    EXPECT_EQ(dialogs.takeMessages(), QStringList({ u"Done: Table file saved"_s }));
    EXPECT_TRUE(leave());
    EXPECT_TRUE(dialogs.takeMessages().isEmpty());

    loadAndApply();
    dialogs.answers = { UserDialogs::Answer::Discard };
    EXPECT_TRUE(leave());
    EXPECT_EQ(dialogs.takeMessages().size(), 1);

    // A table begun with New and never saved has no name to give.
    panel.workspace().newTable();
    sounds().reloadList();
    sounds().add();
    dialogs.answers = { UserDialogs::Answer::Cancel };
    EXPECT_FALSE(leave());
    const QStringList asked = dialogs.takeMessages();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].startsWith(u"VK Control Panel: Save the new table before "_s))
        << asked[0].toStdString();
}

// Save runs Save table file, proposing the table's own file, and goes on only once it saved.
TEST_P(UnsavedWorkTest, SaveGoesOnOnlyOnceTheTableIsSaved)
{
    loadAndApply();
    const auto leaveSaving = [&](const QString &target) {
        dialogs.answers = { UserDialogs::Answer::Apply };
        dialogs.fileAnswers = { target };
        const bool wentOn = leave();
        EXPECT_EQ(dialogs.fileRequests.value(0).title, u"Save table file");
        EXPECT_EQ(dialogs.fileRequests.value(0).directory, dir.path());
        EXPECT_EQ(dialogs.fileRequests.value(0).fileName, u"table.gam");
        return wentOn;
    };
    EXPECT_FALSE(leaveSaving(QString())); // the dialog cancelled
    // A save that fails: the target is a working file.
    EXPECT_FALSE(leaveSaving(dir.path(u"sounds.$$$"_s)));
    EXPECT_EQ(dialogs.takeMessages().size(), 3);
    EXPECT_EQ(panel.workspace().unsavedPageCount(), 1);

    EXPECT_TRUE(leaveSaving(tablePath));
    EXPECT_EQ(dialogs.takeMessages().value(1), u"Done: Table file saved");
    EXPECT_EQ(panel.workspace().unsavedPageCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    ExitNewAndLoad, UnsavedWorkTest,
    testing::Values(Leave { ControlPanel::Leaving::Closing, "Exit1",
                            u"Save changes to \"table.gam\" before closing?"_s },
                    Leave { ControlPanel::Leaving::New, "Newtablefile1",
                            u"Save changes to \"table.gam\" before starting a new table?"_s },
                    Leave { ControlPanel::Leaving::Load, "Loadtablefile1",
                            u"Save changes to \"table.gam\" before loading another table?"_s }),
    [](const testing::TestParamInfo<Leave> &info) { return std::string(info.param.menuItem); });

// The window's close hot area and the window system's close ask as Exit does; once the
// program ends, the window closes.
TEST_F(UnsavedWorkTest, EveryCloseAsks)
{
    loadAndApply();
    dialogs.answers = { UserDialogs::Answer::Cancel, UserDialogs::Answer::Cancel };
    QTest::mouseClick(&main().closeArea(), Qt::LeftButton);
    EXPECT_FALSE(main().close());
    EXPECT_TRUE(main().isVisible());
    EXPECT_EQ(dialogs.takeMessages().size(), 2);
    EXPECT_EQ(ends, 0);
    dialogs.answers = { UserDialogs::Answer::Discard };
    EXPECT_FALSE(main().close());
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(main().close()); // as the application quits
}

// The strip names the table and counts its pages not saved, following every change.
TEST_F(UnsavedWorkTest, TheStatusStripFollowsEditsUndoSaveNewAndLoad)
{
    EXPECT_EQ(status(), u"No table loaded");
    loadAndApply();
    EXPECT_EQ(status(), u"table.gam: 1 page changed");
    EXPECT_EQ(main().statusStrip().text(), u"table.gam: 1 page changed");
    sounds().add();
    EXPECT_EQ(status(), u"table.gam: 2 pages changed");
    sounds().history().undo();
    sounds().history().undo();
    EXPECT_EQ(status(), u"table.gam");
    sounds().add();
    panel.saveTo(dir.path(u"other.gam"_s));
    EXPECT_EQ(status(), u"other.gam");
    dialogs.answers = { UserDialogs::Answer::Discard };
    menuItem("Newtablefile1")->trigger();
    EXPECT_EQ(status(), u"New table");
    sounds().add();
    EXPECT_EQ(status(), u"New table: 1 page changed");
    // A name too long for the strip is shortened there, and whole in its hint.
    const QString longName = dir.path(u"%1.gam"_s.arg(QString(80, u'x')));
    writeFile(longName, table({ sound("Hum") }));
    dialogs.answers = { UserDialogs::Answer::Discard };
    ASSERT_TRUE(panel.settleTable(ControlPanel::Leaving::Load) && panel.loadFile(longName));
    EXPECT_EQ(status(), QFileInfo(longName).fileName());
    EXPECT_EQ(main().statusStrip().toolTip(), status());
    EXPECT_TRUE(main().statusStrip().text().contains(u'…'));
}

// Save proposes the table's own file; Load starts in the folder last used, also in the next
// run; a table begun with New proposes no name, in that folder.
TEST_F(UnsavedWorkTest, TheFileDialogsStartWhereTheTableIs)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"mod"_s));
    const QString mod = dir.path(u"mod"_s);
    load({ sound("Hum") });
    panel.saveTo(mod + u"/levels.gam"_s);
    menuItem("Savetablefile1")->trigger();
    menuItem("Loadtablefile1")->trigger();
    dialogs.answers = { UserDialogs::Answer::Discard };
    menuItem("Newtablefile1")->trigger();
    sounds().add();
    menuItem("Savetablefile1")->trigger();
    ASSERT_EQ(dialogs.fileRequests.size(), 3);
    const auto start = [&](int request) {
        const FileDialogStart at =
            fileDialogStart(dialogs.fileRequests[request], u"/elsewhere/a.gam"_s);
        return at.directory + u'|' + at.fileName;
    };
    EXPECT_EQ(start(0), mod + u"|levels.gam"_s);
    EXPECT_EQ(start(1), mod + u'|');
    EXPECT_EQ(start(2), mod + u'|');

    ScriptedDialogs nextDialogs;
    TempDir nextDir;
    ControlPanel next(nextDir.path() + u'/', nextDialogs);
    EXPECT_EQ(next.lastFolder(), mod);
    QDir(mod).removeRecursively(); // gone since: the home folder
    EXPECT_EQ(next.lastFolder(), QDir::homePath());
}

namespace {

// A session that journaled a change and an addition to "levels.gam" and then ended without
// removing its lock, as a crash or a kill ends it: the records a save would have written.
QList<QByteArray> crashedSession(const TempDir &dir, const QString &table)
{
    writeFile(table, testsupport::table({ sound("Alpha"), sound("Beta") }));
    Workspace session(dir.path());
    session.startJournal();
    session.load(table);
    session.applyPage(PageKind::Sound, 0, sound("Alpha", 12), "Alpha");
    session.addPage(PageKind::Sound, sound("Gamma"), "Gamma");
    return session.records();
}

} // namespace

// After a session that ended with unsaved changes, the start asks: Restore puts back what a
// save just before the end would have written; Keep for later leaves every file and asks again
// at the next start, however this one ends; Discard cleans up; a start after a session that
// ended as sessions do asks nothing.
TEST(LastSessionTest, RestoreKeepForLaterAndDiscard)
{
    TempDir dir;
    const QString tablePath = dir.path(u"levels.gam"_s);
    const QList<QByteArray> saved = crashedSession(dir, tablePath);
    const QString journal = dir.path(u"session.$$$"_s), kept = dir.path(u"kept.$$$"_s);
    ScriptedDialogs dialogs;

    EXPECT_EQ(askAboutLastSession(dir.path(), false, dialogs).mode, SessionStart::Mode::Clean);
    EXPECT_TRUE(dialogs.messages.isEmpty());

    dialogs.answers = { UserDialogs::Answer::Cancel };
    SessionStart start = askAboutLastSession(dir.path(), true, dialogs);
    EXPECT_EQ(dialogs.takeMessages(),
              QStringList({ u"VK Control Panel: The last session ended with unsaved changes to "
                            u"\"levels.gam\" (2 pages in 1 kind). Restore them?"_s }));
    ASSERT_EQ(dialogs.choices.size(), 1);
    EXPECT_EQ(dialogs.choices[0].apply, u"Restore"_s);
    EXPECT_EQ(dialogs.choices[0].cancel, u"Keep for later"_s);
    ASSERT_EQ(start.mode, SessionStart::Mode::Keep);
    {
        ControlPanel panel(dir.path() + u'/', dialogs, start);
        EXPECT_EQ(panel.workspace().pages().totalPageCount(), 0);
        EXPECT_TRUE(QFile::exists(kept));
    }
    EXPECT_TRUE(QFile::exists(journal));

    // Kept: asked again though the lock was removed.
    dialogs.answers = { UserDialogs::Answer::Apply };
    start = askAboutLastSession(dir.path(), false, dialogs);
    ASSERT_EQ(start.mode, SessionStart::Mode::Restore);
    {
        ControlPanel panel(dir.path() + u'/', dialogs, start);
        EXPECT_TRUE(dialogs.takeMessages().size() == 1) << "only the question";
        EXPECT_EQ(panel.workspace().records(), saved);
        EXPECT_EQ(panel.workspace().unsavedPageCount(), 2);
        EXPECT_EQ(panel.mainWindow().statusStrip().text(), u"levels.gam: 2 pages changed"_s);
        EXPECT_EQ(panel.editor(PageKind::Sound)->pageList().model()->rowCount(), 3);
        EXPECT_FALSE(QFile::exists(kept));
        // A table named at start does not drop the restored changes unasked: the one restored
        // onto stays as it is, another is asked about, and Cancel keeps them.
        EXPECT_TRUE(panel.openAtStart(dir.path(u"./levels.gam"_s)));
        EXPECT_TRUE(dialogs.messages.isEmpty());
        EXPECT_EQ(panel.workspace().unsavedPageCount(), 2);
        const QString other = dir.path(u"other.gam"_s);
        writeFile(other, table({ sound("Other") }));
        dialogs.answers = { UserDialogs::Answer::Cancel };
        EXPECT_FALSE(panel.openAtStart(other));
        EXPECT_EQ(dialogs.takeMessages(),
                  QStringList({ u"VK Control Panel: Save changes to \"levels.gam\" before "
                                u"loading another table?"_s }));
        EXPECT_EQ(panel.workspace().records(), saved);
    }

    // Restored, the session journals on: ended again without a save, it is asked about again,
    // and Discard cleans up.
    dialogs.answers = { UserDialogs::Answer::Discard };
    start = askAboutLastSession(dir.path(), true, dialogs);
    EXPECT_EQ(dialogs.takeMessages().size(), 1);
    ASSERT_EQ(start.mode, SessionStart::Mode::Clean);
    {
        ControlPanel panel(dir.path() + u'/', dialogs, start);
    }
    EXPECT_FALSE(QFile::exists(dir.path(u"sounds.$$$"_s)));
    EXPECT_EQ(askAboutLastSession(dir.path(), true, dialogs).mode, SessionStart::Mode::Clean);
    EXPECT_TRUE(dialogs.takeMessages().isEmpty());
}

// A table file changed since the session is never replayed over without asking: the user
// chooses a table to restore onto, or keeps the files; one that cannot take the changes says
// why and keeps them.
TEST(LastSessionTest, AChangedTableIsRestoredOntoOnlyWhenTheUserChoosesIt)
{
    TempDir dir;
    const QString tablePath = dir.path(u"levels.gam"_s);
    crashedSession(dir, tablePath);
    writeFile(tablePath, table({ sound("Alpha", 3), sound("Beta", 4) }));
    ScriptedDialogs dialogs;

    dialogs.answers = { UserDialogs::Answer::Apply };
    SessionStart start = askAboutLastSession(dir.path(), true, dialogs);
    EXPECT_TRUE(dialogs.takeMessages().value(0).endsWith(
        u"The table file has changed since. Restore them onto a table file you choose?"_s));
    EXPECT_EQ(start.mode, SessionStart::Mode::Keep) << "no table chosen";

    const QString other = dir.path(u"other.gam"_s);
    writeFile(other, table({ sound("Alpha", 3) }));
    dialogs.answers = { UserDialogs::Answer::Apply };
    dialogs.fileAnswers = { other };
    start = askAboutLastSession(dir.path(), true, dialogs);
    ASSERT_EQ(start.mode, SessionStart::Mode::Restore);
    {
        ControlPanel panel(dir.path() + u'/', dialogs, start);
        const QStringList said = dialogs.takeMessages();
        ASSERT_EQ(said.size(), 2);
        EXPECT_TRUE(said[1].contains(u"held 2."_s) &&
                    said[1].endsWith(u"kept for the next start."_s))
            << said[1].toStdString();
        EXPECT_EQ(panel.workspace().pages().totalPageCount(), 0);
    }

    dialogs.answers = { UserDialogs::Answer::Apply };
    dialogs.fileAnswers = { tablePath };
    start = askAboutLastSession(dir.path(), true, dialogs);
    ControlPanel panel(dir.path() + u'/', dialogs, start);
    EXPECT_EQ(dialogs.takeMessages().size(), 1);
    EXPECT_EQ(panel.workspace().pageNames(PageKind::Sound), NameList({ "Alpha", "Beta", "Gamma" }));
    EXPECT_EQ(panel.workspace().readPage(PageKind::Sound, 0), sound("Alpha", 12));
    EXPECT_EQ(panel.workspace().readPage(PageKind::Sound, 1), sound("Beta", 4));
}
