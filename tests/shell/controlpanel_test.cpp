#include "controlpanel.h"

#include "about.h"
#include "links.h"
#include "main.h"
#include "pageeditor.h"
#include "saving.h"
#include "scripteddialogs.h"
#include "startup.h"
#include "tablebuilder.h"
#include "testhelpers.h"
#include "working.h"

#include <QAccessible>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QLockFile>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrlQuery>

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
    ScriptedDialogs dialogs;
    ControlPanel panel { dir.path() + u'/', dialogs };
};

} // namespace

TEST_F(ControlPanelTest, NewThenAddThenSaveWritesOneRecord)
{
    menuItem("Savetablefile1")->trigger(); // no dialog while there is nothing to save
    EXPECT_EQ(dialogs.takeMessages(), QStringList({ u"Error: Nothing to save!"_s }));
    EXPECT_TRUE(dialogs.fileRequests.isEmpty());

    writeFile(dir.path(u"table.gam"_s), table({ sound("Laser"), texture("Wall") }));
    ASSERT_TRUE(panel.loadFile(dir.path(u"table.gam"_s)));
    menuItem("Newtablefile1")->trigger();
    EXPECT_TRUE(soundList().isEmpty());
    QTest::mouseClick(sounds().findChild<QPushButton *>(), Qt::LeftButton); // "Add"
    EXPECT_EQ(soundList(), QStringList({ u"New Sound"_s }));

    const QString target = dir.path(u"new.gam"_s);
    dialogs.fileAnswers = { target };
    menuItem("Savetablefile1")->trigger();
    EXPECT_EQ(dialogs.fileRequests.last().defaultSuffix, u"gam");
    EXPECT_EQ(dialogs.takeMessages(), QStringList({ u"Done: Table file saved"_s }));
    EXPECT_EQ(readFile(target), testsupport::SoundPage().record());
    EXPECT_TRUE(main().isEnabled() && !panel.savingWindow().isVisible());
}

TEST_F(ControlPanelTest, LoadTwiceListsPagesOnceAndWarnsOnceAboutOtherVersions)
{
    testsupport::SoundPage other;
    other.version = 2;
    const QString path = dir.path(u"table.gam"_s);
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
    EXPECT_EQ(dialogs.fileRequests[0].title, u"Load table file");
    EXPECT_EQ(dialogs.fileRequests[0].filter, u"Table files(*.gam)|*.gam|All files(*.*)|*.*");
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

TEST_F(ControlPanelTest, SaveOverTheLoadedFileReloadsIt)
{
    const QString path = dir.path(u"table.gam"_s);
    writeFile(path, table({ sound("Zed"), sound("Alpha") }));
    ASSERT_TRUE(panel.loadFile(path));
    sounds().selectPosition(1);
    QTest::mouseClick(sounds().findChildren<QPushButton *>()[0], Qt::LeftButton); // Add
    EXPECT_EQ(soundList(), QStringList({ u"Alpha"_s, u"Zed"_s, u"New Sound"_s }));

    panel.saveTo(path);
    EXPECT_EQ(dialogs.takeMessages(), QStringList({ u"Done: Table file saved"_s }));
    EXPECT_EQ(soundList(), QStringList({ u"Alpha"_s, u"New Sound"_s, u"Zed"_s }));
}

TEST_F(ControlPanelTest, FailedLoadOrSaveLeavesTheProgramUsable)
{
    const QString path = dir.path(u"table.gam"_s);
    writeFile(path, table({ sound("Laser") }));
    ASSERT_TRUE(panel.loadFile(path));

    const QString damaged = dir.path(u"damaged.gam"_s);
    writeFile(damaged, sound("Cut") + recordWithLength(kind::sound, 3, Bytes().u16(1)));
    EXPECT_FALSE(panel.loadFile(damaged));
    EXPECT_EQ(dialogs.takeMessages().size(), 1);
    EXPECT_TRUE(main().isEnabled() && !panel.loaderWindow().isVisible());
    EXPECT_EQ(soundList(), QStringList({ u"Laser"_s }));
    EXPECT_EQ(panel.workspace().loadedPath(), QFileInfo(path).absoluteFilePath());

    // The table file went away: the save fails and its target is left as it was.
    const QString target = dir.path(u"target.gam"_s);
    writeFile(target, "old");
    QFile::remove(path);
    panel.saveTo(target);
    const QStringList messages = dialogs.takeMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(u"VK Control Panel: Cannot open the table file"))
        << messages[0].toStdString();
    EXPECT_EQ(readFile(target), "old");
    EXPECT_TRUE(main().isEnabled() && !panel.savingWindow().isVisible());
}

TEST_F(ControlPanelTest, TheSavingWindowRepaintsOnlyWhenThePercentageChanges)
{
    class PaintCounter : public QObject
    {
    public:
        QList<int> values;
        QProgressBar *bar = nullptr;

    protected:
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                values.append(bar->value());
            return false;
        }
    } counter;
    counter.bar = &panel.savingWindow().progressBar();
    writeFile(dir.path(u"table.gam"_s), table({ sound("a"), sound("b"), texture("c") }));
    ASSERT_TRUE(panel.loadFile(dir.path(u"table.gam"_s)));
    counter.bar->installEventFilter(&counter);
    for (int save = 0; save < 2; ++save) {
        counter.values.clear();
        panel.saveTo(dir.path(u"out.gam"_s));
        // Shown at 0, also after the last save left the bar at 100.
        ASSERT_FALSE(counter.values.isEmpty());
        EXPECT_EQ(counter.values.first(), 0);
        counter.values.removeAll(0);
        EXPECT_EQ(counter.values, QList<int>({ 33, 67, 100 }));
    }
}

TEST_F(ControlPanelTest, TheMainWindowDragsAndItsMenuOpensBelowItsHotArea)
{
    main().move(200, 108);
    QTest::qWait(0);
    ASSERT_EQ(main().pos(), QPoint(200, 108));
    EXPECT_EQ(menuPoint(main().frameGeometry(), main().size(), main().menuArea().geometry()),
              QPoint(207, 131));
    // A window with a border: the menu shifts by half the border width.
    EXPECT_EQ(menuPoint({ 200, 108, 533, 352 }, { 525, 325 }, { 7, 7, 16, 16 }), QPoint(211, 131));

    QWidget &strip = main().dragStrip();
    QTest::mousePress(&strip, Qt::LeftButton, {}, { 100, 10 });
    QTest::mouseMove(&strip, { 130, 5 });
    QTest::mouseRelease(&strip, Qt::LeftButton, {}, { 130, 5 });
    EXPECT_EQ(main().pos(), QPoint(230, 103));
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

TEST_F(ControlPanelTest, TheAboutBoxOpensCentredOnTheScreen)
{
    main().move(10, 20); // away from the screen's centre
    QTest::qWait(0);
    QPoint centre;
    QTimer::singleShot(0, &panel.aboutBox(), [&] {
        centre = panel.aboutBox().geometry().center();
        panel.aboutBox().accept();
    });
    QTest::mouseClick(&main().aboutButton(), Qt::LeftButton);
    // Within the width of a window frame.
    EXPECT_LE((centre - main().screen()->availableGeometry().center()).manhattanLength(), 8)
        << centre.x() << ',' << centre.y();
}

TEST_F(ControlPanelTest, LinksAboutBoxAndExit)
{
    menuItem("Checkfornewversions1")->trigger();
    QTest::mouseClick(&main().webLink(), Qt::LeftButton);
    ASSERT_EQ(dialogs.urls.size(), 2);
    EXPECT_EQ(dialogs.urls[0].adjusted(QUrl::RemoveAuthority),
              QUrl(u"http:/cgi/autoupdate.cgi?id=vkcp&ver=101"_s));
    EXPECT_EQ(dialogs.urls[1], Links::webSite());

    QTimer::singleShot(0, &panel.aboutBox(),
                       [&] { QTest::mouseClick(&panel.aboutBox().okButton(), Qt::LeftButton); });
    QTest::mouseClick(&main().aboutButton(), Qt::LeftButton);
    EXPECT_FALSE(panel.aboutBox().isVisible());
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
    bool modalAndFixed = false;
    QTimer::singleShot(0, &sounds(), [&] {
        modalAndFixed = sounds().isVisible() && QApplication::activeModalWidget() == &sounds() &&
            sounds().minimumSize() == sounds().size() && sounds().maximumSize() == sounds().size();
        sounds().accept();
    });
    QTest::mouseClick(&main().hotArea(PageKind::Sound), Qt::LeftButton);
    EXPECT_TRUE(modalAndFixed);
    EXPECT_FALSE(sounds().isVisible());
}

TEST(StartUpTest, TitlesAreTheCaptionsAloneAndErrorsAreCaptionedWithTheProgram)
{
    // Qt appends a display name, once one is set, to the title of every window and message
    // box; an empty one appends nothing.
    const QString previous = QGuiApplication::applicationDisplayName();
    QGuiApplication::setApplicationDisplayName(QString());
    nameApplication();
    {
        TempDir dir;
        ScriptedDialogs dialogs;
        ControlPanel panel(dir.path() + u'/', dialogs);
        EXPECT_EQ(QGuiApplication::applicationDisplayName(), QString());
        dialogs.error(nullptr, u"Broken."_s);
        EXPECT_EQ(dialogs.takeMessages(), QStringList({ u"VK Control Panel: Broken."_s }));
    }
    QGuiApplication::setApplicationDisplayName(previous);
}

TEST(StartUpTest, CleansTheWorkspaceAtStart)
{
    TempDir dir;
    for (QLatin1StringView file : Workspace::cleanUpFiles())
        writeFile(dir.path(file), "left over");
    writeFile(dir.path(u"mine.gam"_s), "kept");
    ScriptedDialogs dialogs;
    ControlPanel panel(dir.path() + u'/', dialogs);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({ u"mine.gam"_s }));
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
