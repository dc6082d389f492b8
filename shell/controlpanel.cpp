#include "controlpanel.h"

#include "about.h"
#include "check.h"
#include "checkwindow.h"
#include "instance.h"
#include "kindeditors.h"
#include "links.h"
#include "main.h"
#include "numbertext.h"
#include "pageeditor.h"
#include "pagelistmodel.h"
#include "pagelists.h"
#include "recordwalk.h"
#include "saving.h"
#include "shareddialogs.h"
#include "tableerror.h"
#include "userdialogs.h"
#include "working.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QScreen>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace {

QSettings settings()
{
    return QSettings(u"vkcp"_s, u"vkcp"_s);
}

// Where the table file dialogs last went, kept for the next run.
constexpr QLatin1StringView kLastFolderKey("files/lastFolder");

} // namespace

ControlPanel::ControlPanel(const QString &workspaceDirectory, UserDialogs &dialogs,
                           const Start &start)
    : ControlPanel(workspaceDirectory, dialogs, start, nullptr)
{ }

ControlPanel::ControlPanel(const QString &workspaceDirectory, UserDialogs &dialogs,
                           const Start &start, std::unique_ptr<MainWindow> mainWindow)
    : m_dialogs(dialogs)
    , m_workspace(workspaceDirectory)
    , m_main(std::move(mainWindow))
{
    // What an earlier run left in the workspace goes before anything else happens.
    bool restored = false;
    Start::Mode mode = start.mode;
    if (mode == Start::Mode::Restore && start.session) {
        try {
            m_workspace.restore(*start.session, start.table);
            restored = true;
        } catch (const TableError &error) {
            m_dialogs.error(
                nullptr,
                u"%1 The last session's files are kept for the next start."_s.arg(error.message()));
            mode = Start::Mode::Keep;
        }
    }
    if (mode == Start::Mode::Keep) {
        // Marked, so that the next start asks again however this one ends.
        QFile(m_workspace.filePath(WorkspaceFile::kept)).open(QIODevice::WriteOnly);
    } else if (!restored) {
        m_workspace.cleanUp();
        // Without a journal the program still runs, as it did before it had one; the user
        // hears that a crash would lose the session's changes.
        try {
            m_workspace.startJournal();
        } catch (const TableError &error) {
            m_dialogs.error(nullptr,
                            u"%1 Changes will not survive a crash."_s.arg(error.message()));
        }
    }
    if (restored)
        QFile::remove(m_workspace.filePath(WorkspaceFile::kept));
    m_lists = std::make_unique<PageLists>(m_workspace);
    // Only the main window is made at start: the others, most of which a session never opens,
    // would take longer to make than the main window takes to show.
    if (!m_main)
        m_main = std::make_unique<MainWindow>();
    // The physics and lighting windows are shared; each editor makes the others it opens.
    m_shared = std::make_unique<SharedDialogs>(m_dialogs, *m_main);
    m_lists->setEditorMaker([this](PageKind kind) -> PageEditor * {
        const KindEditor *entry = kindEditor(kind);
        return entry ? entry->make(*m_lists, m_dialogs, *m_shared, m_main.get()) : nullptr;
    });

    for (PageKind kind : kEditedKinds)
        m_main->setEditorAvailable(kind, kindEditor(kind) != nullptr);

    connect(m_main.get(), &MainWindow::newTableRequested, this, &ControlPanel::newTable);
    connect(m_main.get(), &MainWindow::loadTableRequested, this, &ControlPanel::loadTable);
    connect(m_main.get(), &MainWindow::saveTableRequested, this, &ControlPanel::saveTable);
    connect(m_main.get(), &MainWindow::checkTableRequested, this, &ControlPanel::checkTable);
    connect(m_main.get(), &MainWindow::checkForNewVersionsRequested, this,
            &ControlPanel::checkForNewVersions);
    connect(m_main.get(), &MainWindow::editorRequested, this, &ControlPanel::openEditor);
    connect(m_main.get(), &MainWindow::aboutRequested, this, &ControlPanel::showAbout);
    connect(m_main.get(), &MainWindow::webSiteRequested, this,
            [this] { m_dialogs.openUrl(Links::webSite()); });
    connect(m_main.get(), &MainWindow::exitRequested, this, [this] {
        if (settleTable(Leaving::Closing))
            end();
    });
    m_handedFile = new PendingLoad(
        *m_main,
        [this](const QString &path) {
            if (settleTable(Leaving::Load))
                loadFile(path);
        },
        this);

    m_lastFolder = settings().value(kLastFolderKey).toString();
    m_statusTimer.setSingleShot(true);
    m_statusTimer.setInterval(0);
    connect(&m_statusTimer, &QTimer::timeout, this, &ControlPanel::updateStatus);
    for (PageKind kind : kEditedKinds) {
        PageListModel *model = &m_lists->model(kind);
        connect(model, &QAbstractItemModel::rowsInserted, this, &ControlPanel::updateStatusSoon);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &ControlPanel::updateStatusSoon);
        connect(model, &QAbstractItemModel::dataChanged, this, &ControlPanel::updateStatusSoon);
        connect(model, &QAbstractItemModel::modelReset, this, &ControlPanel::updateStatusSoon);
        connect(model, &PageListModel::recordChanged, this, &ControlPanel::updateStatusSoon);
    }
    if (restored)
        refreshLists();
    updateStatus();
}

ControlPanel::~ControlPanel() = default;

void ControlPanel::show()
{
    centreOnScreen(*m_main, *m_main);
    m_main->show();
}

LoaderWindow &ControlPanel::loaderWindow()
{
    if (!m_loader) {
        m_loader = std::make_unique<LoaderWindow>(m_dialogs);
        connect(&m_loader->cancelButton(), &QPushButton::clicked, this, &ControlPanel::end);
    }
    return *m_loader;
}

SavingWindow &ControlPanel::savingWindow()
{
    if (!m_saving)
        m_saving = std::make_unique<SavingWindow>();
    return *m_saving;
}

AboutBox &ControlPanel::aboutBox()
{
    if (!m_about)
        m_about = new AboutBox(m_dialogs, m_main.get());
    return *m_about;
}

CheckWindow &ControlPanel::checkWindow()
{
    if (!m_check) {
        m_check = new CheckWindow(m_dialogs, m_main.get());
        connect(m_check, &CheckWindow::checkRequested, this, &ControlPanel::checkAgain);
        connect(m_check, &CheckWindow::pageRequested, this, &ControlPanel::openFinding);
    }
    return *m_check;
}

PageEditor *ControlPanel::editor(PageKind kind)
{
    return m_lists->editor(kind);
}

PageEditor *ControlPanel::madeEditor(PageKind kind) const
{
    return m_lists->madeEditor(kind);
}

void ControlPanel::refreshLists()
{
    for (PageKind kind : kEditedKinds) {
        // An editor made later starts from its list as it is then.
        if (PageEditor *pageEditor = madeEditor(kind))
            pageEditor->reloadList();
        else
            m_lists->model(kind).reload();
    }
}

bool ControlPanel::settleEditors()
{
    for (PageKind kind : kEditedKinds)
        if (PageEditor *pageEditor = madeEditor(kind); pageEditor && !pageEditor->settleChanges())
            return false;
    return true;
}

void ControlPanel::end()
{
    m_main->setEnding();
    emit endRequested();
}

bool ControlPanel::settleTable(Leaving leaving)
{
    if (!settleEditors())
        return false;
    if (m_workspace.unsavedPageCount() == 0)
        return true;
    const QString saved = m_workspace.savedPath();
    const QString what = saved.isEmpty() ? u"the new table"_s
                                         : u"changes to \"%1\""_s.arg(QFileInfo(saved).fileName());
    const QString before = leaving == Leaving::Closing ? u"closing"_s
        : leaving == Leaving::New                      ? u"starting a new table"_s
                                                       : u"loading another table"_s;
    switch (m_dialogs.ask(m_main.get(), kProgramTitle, u"Save %1 before %2?"_s.arg(what, before),
                          { u"&Save"_s, u"&Don't save"_s })) {
    case UserDialogs::Answer::Apply:
        return saveTable();
    case UserDialogs::Answer::Discard:
        return true;
    case UserDialogs::Answer::Cancel:
        break;
    }
    return false;
}

void ControlPanel::newTable()
{
    if (!settleTable(Leaving::New))
        return;
    if (guarded(m_dialogs, m_main.get(), [&] { m_workspace.newTable(); }))
        refreshLists();
    updateStatusSoon();
}

void ControlPanel::loadTable()
{
    if (!settleTable(Leaving::Load))
        return;
    const QString path = loaderWindow().OpenGAMFile(m_main.get(), lastFolder());
    if (!path.isEmpty())
        loadFile(path);
}

QString ControlPanel::lastFolder() const
{
    // A folder since removed or unmounted would leave the dialog wherever Qt likes.
    if (!m_lastFolder.isEmpty() && QFileInfo(m_lastFolder).isDir())
        return m_lastFolder;
    return QDir::homePath();
}

void ControlPanel::rememberFolder(const QString &file)
{
    m_lastFolder = QFileInfo(file).absolutePath();
    // Most tables come from the folder already kept: writing it again would flush the settings
    // file to the disk at every load, the one at start too.
    QSettings kept = settings();
    if (kept.value(kLastFolderKey).toString() != m_lastFolder)
        kept.setValue(kLastFolderKey, m_lastFolder);
}

void ControlPanel::updateStatus()
{
    const int changed = m_workspace.unsavedPageCount();
    const QString saved = m_workspace.savedPath();
    QString text;
    if (!saved.isEmpty())
        text = QFileInfo(saved).fileName();
    else if (changed > 0 || !m_workspace.loadedPath().isEmpty())
        text = u"New table"_s;
    else {
        m_main->setStatus(u"No table loaded"_s);
        return;
    }
    if (changed > 0)
        text += u": %1 changed"_s.arg(NumberText::counted(changed, u"page"_s, u"pages"_s));
    m_main->setStatus(text);
}

namespace {

// Shows a window at once and keeps the main window out of reach while the table file is
// read or written on the user-interface thread.
class BusyWindow
{
public:
    BusyWindow(QWidget &window, QWidget &main)
        : m_window(window)
        , m_main(main)
    {
        centreOnScreen(m_window, m_main);
        m_window.show();
        m_main.setEnabled(false);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        m_window.repaint();
        m_main.repaint();
    }
    ~BusyWindow()
    {
        m_window.hide();
        m_main.setEnabled(true);
    }

private:
    QWidget &m_window;
    QWidget &m_main;
};

} // namespace

bool ControlPanel::loadFile(const QString &path)
{
    return load(path, LoaderShown::Yes);
}

bool ControlPanel::openAtStart(const QString &path,
                               const std::function<Workspace::TableRead()> &read)
{
    const bool restoredChanges = m_workspace.unsavedPageCount() > 0;
    // A session restored onto the very table named is that table, with its changes.
    const QString loaded = m_workspace.loadedPath();
    if (restoredChanges && !loaded.isEmpty() &&
        QFileInfo(path).canonicalFilePath() == QFileInfo(loaded).canonicalFilePath())
        return true;
    // Changes restored are asked about first, and a read made before the question may be older
    // than the file after it.
    return settleTable(Leaving::Load) &&
        load(path, LoaderShown::No, restoredChanges ? nullptr : read);
}

bool ControlPanel::load(const QString &path, LoaderShown shown,
                        const std::function<Workspace::TableRead()> &read)
{
    const bool loaded = guarded(m_dialogs, m_main.get(), [&] {
        if (shown == LoaderShown::Yes) {
            BusyWindow busy(loaderWindow(), *m_main);
            m_loader->LoadTableFile(m_workspace, path);
            refreshLists();
            return;
        }
        warnAboutLoad(m_dialogs, m_main.get(), m_workspace, m_workspace.load(path, read));
        refreshLists();
    });
    if (loaded)
        rememberFolder(path);
    updateStatusSoon();
    return loaded;
}

void ControlPanel::openFromElsewhere(const QString &path)
{
    m_handedFile->hold(path);
}

bool ControlPanel::saveTable()
{
    if (m_workspace.pages().totalPageCount() == 0) {
        m_dialogs.message(m_main.get(), u"Error"_s, kNothingToSaveMessage,
                          UserDialogs::Icon::Critical);
        return false;
    }
    // Proposes the file the table came from or last went to, so that a bare name typed in
    // the dialog never lands beside the working files.
    const QFileInfo saved(m_workspace.savedPath());
    const QString target = m_dialogs.saveFileName(
        m_main.get(),
        { u"Save table file"_s, kTableFileFilter, u"gam"_s,
          saved.filePath().isEmpty() ? QString() : saved.fileName(),
          saved.filePath().isEmpty() ? lastFolder() : saved.absolutePath(), true });
    return !target.isEmpty() && saveTo(target);
}

bool ControlPanel::saveTo(const QString &target)
{
    Workspace::SaveResult result;
    // Before the window is shown, which paints the bar: not the last save's 100 %.
    savingWindow().setProgress(0);
    const bool saved = guarded(m_dialogs, m_main.get(), [&] {
        BusyWindow busy(*m_saving, *m_main);
        try {
            result =
                m_workspace.save(target, [this](int percent) { m_saving->setProgress(percent); });
        } catch (const TableError &) {
            // A failed reload after a save over the loaded file empties the table.
            refreshLists();
            throw;
        }
    });
    updateStatusSoon();
    if (!saved)
        return false;
    rememberFolder(target);
    m_dialogs.message(m_main.get(), u"Done"_s, u"Table file saved"_s,
                      UserDialogs::Icon::Information);
    if (result.reloaded) {
        refreshLists();
        loaderWindow().reportLoad(m_workspace, result.versionMismatch);
    }
    return true;
}

namespace {

// Per kind, the list position of each page that a finding's position counts. The records come
// in list order, but a page of another version, pasted or imported, is listed and not counted.
std::array<QList<int>, kEditedKinds.size()> listPositions(const QList<QByteArrayView> &records)
{
    std::array<QList<int>, kEditedKinds.size()> positions;
    std::array<int, kEditedKinds.size()> listed {};
    for (const QByteArrayView bytes : records) {
        const TableRecord record = describeRecord(bytes);
        if (!record.kind || !isEdited(*record.kind))
            continue;
        const int k = kindIndex(*record.kind);
        if (record.isLoadedPage())
            positions[k].append(listed[k]);
        ++listed[k];
    }
    return positions;
}

} // namespace

void ControlPanel::checkTable()
{
    if (runCheck(m_main.get(), 0))
        checkWindow().showModal();
}

bool ControlPanel::runCheck(QWidget *parent, int currentRow)
{
    return guarded(m_dialogs, parent, [&] {
        const QList<QByteArray> records = m_workspace.records();
        const QList<QByteArrayView> views(records.cbegin(), records.cend());
        QList<Finding> findings = checkRecords(views);
        // From here on a finding's position is the page's place in its editor's list.
        const auto positions = listPositions(views);
        for (Finding &finding : findings)
            if (finding.pageKind && isEdited(*finding.pageKind))
                finding.position =
                    positions[kindIndex(*finding.pageKind)].value(finding.position, -1);
        checkWindow().setFindings(std::move(findings), currentRow);
    });
}

void ControlPanel::openFinding(const Finding &finding)
{
    PageEditor *pageEditor = editor(*finding.pageKind);
    if (!pageEditor)
        return;
    pageEditor->revealPage(finding.position);
    pageEditor->showModal();
    checkAgain();
}

void ControlPanel::checkAgain()
{
    // Findings of a table that can no longer be read would lead to the wrong pages; it must
    // be loaded again, from the main window.
    if (!runCheck(m_check, m_check->currentRow()))
        m_check->reject();
}

void ControlPanel::checkForNewVersions()
{
    m_dialogs.openUrl(Links::updateCheck());
}

void ControlPanel::openEditor(PageKind kind)
{
    if (PageEditor *pageEditor = editor(kind))
        pageEditor->showModal();
}

void ControlPanel::showAbout()
{
    // Moved, a dialog no longer centres itself on its parent.
    centreOnScreen(aboutBox(), *m_main);
    m_about->exec();
}
