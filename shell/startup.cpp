#include "startup.h"

#include "controlpanel.h"
#include "editorstyle.h"
#include "instance.h"
#include "main.h"
#include "numbertext.h"
#include "pagekinds.h"
#include "pictures.h"
#include "tableerror.h"
#include "userdialogs.h"
#include "working.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QIcon>
#include <QLockFile>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cstdio>
#include <fontconfig/fontconfig.h>
#include <future>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

bool canMakeFilesIn(const QString &directory)
{
    QTemporaryFile probe(QDir(directory).filePath(u"probe-XXXXXX"_s));
    return probe.open();
}

QString withSlash(QString directory)
{
    if (!directory.endsWith(u'/'))
        directory += u'/';
    return directory;
}

} // namespace

QString installedDataDirectory(const QString &programDirectory)
{
    return QDir::cleanPath(QDir(programDirectory).filePath(QStringLiteral(VK_INSTALLED_DATA_DIR)));
}

QString chooseWorkspaceDirectory(const QString &programDirectory, const QString &fallback)
{
    // An installed copy's directory is the system's, shared by every user, and root can write
    // it: working files there would mix the users' work and litter /usr/bin.
    const bool installed = QFileInfo(installedDataDirectory(programDirectory)).isDir();
    if (!installed && canMakeFilesIn(programDirectory))
        return withSlash(programDirectory);
    if (!fallback.isEmpty() && QDir().mkpath(fallback) && canMakeFilesIn(fallback))
        return withSlash(fallback);
    return {};
}

std::unique_ptr<QLockFile> lockWorkspace(const QString &directory)
{
    auto lock = std::make_unique<QLockFile>(QDir(directory).filePath(WorkspaceFile::lock));
    // Only a dead owner makes the lock stale; a copy that runs for days keeps it.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(200))
        return nullptr;
    return lock;
}

namespace {

// The workspace a start works in, and its lock.
struct WorkspaceClaim
{
    QString directory; // empty when none can be written
    bool lockLeft = false;
    std::unique_ptr<QLockFile> lock; // null when another copy holds it
};

WorkspaceClaim claimWorkspace(const QString &programDirectory, const QString &fallback)
{
    WorkspaceClaim claim;
    claim.directory = chooseWorkspaceDirectory(programDirectory, fallback);
    if (claim.directory.isEmpty())
        return claim;
    // A lock there before this start that this start takes over was left by a copy that ended
    // without removing it.
    claim.lockLeft = QFileInfo::exists(QDir(claim.directory).filePath(WorkspaceFile::lock));
    claim.lock = lockWorkspace(claim.directory);
    return claim;
}

} // namespace

ControlPanel::Start askAboutLastSession(const QString &directory, bool lockLeft,
                                        UserDialogs &dialogs)
{
    using Mode = ControlPanel::Start::Mode;
    const bool kept = QFileInfo::exists(QDir(directory).filePath(WorkspaceFile::kept));
    if (!lockLeft && !kept)
        return {};
    const QString caption = QString(kProgramTitle);
    std::optional<LastSession> session;
    try {
        session = lastSession(directory);
    } catch (const TableError &error) {
        const UserDialogs::Answer answer = dialogs.ask(
            nullptr, caption, u"%1\n\nDiscard the last session's files?"_s.arg(error.message()),
            { .apply = u"Discard"_s, .withoutDiscard = true, .cancel = u"Keep for later"_s });
        return { answer == UserDialogs::Answer::Apply ? Mode::Clean : Mode::Keep };
    }
    if (!session || !session->hasUnsavedChanges())
        return {};
    const QString what = session->tablePath.isEmpty()
        ? u"a new table"_s
        : u"\"%1\""_s.arg(QFileInfo(session->tablePath).fileName());
    QString text = u"The last session ended with unsaved changes to %1 (%2 in %3)."_s.arg(
        what, NumberText::counted(session->unsaved.pages, u"page"_s, u"pages"_s),
        NumberText::counted(session->unsaved.kinds, u"kind"_s, u"kinds"_s));
    const bool ownTable = session->table == LastSession::Table::Unchanged ||
        session->table == LastSession::Table::NotUsed;
    if (ownTable)
        text += u" Restore them?"_s;
    else
        text += (session->table == LastSession::Table::Missing
                     ? u" The table file is gone since."_s
                     : u" The table file has changed since."_s) +
            u" Restore them onto a table file you choose?"_s;
    const UserDialogs::Answer answer =
        dialogs.ask(nullptr, caption, text,
                    { .apply = ownTable ? u"Restore"_s : u"Choose table..."_s,
                      .discard = u"Discard"_s,
                      .cancel = u"Keep for later"_s });
    if (answer == UserDialogs::Answer::Discard)
        return {};
    if (answer == UserDialogs::Answer::Cancel)
        return { Mode::Keep };
    ControlPanel::Start start { Mode::Restore, std::move(session), {} };
    if (!ownTable) {
        start.table = dialogs.openFileName(nullptr,
                                           { .title = u"Restore onto table file"_s,
                                             .filter = kTableFileFilter,
                                             .defaultSuffix = u"gam"_s,
                                             .fileName = start.session->tablePath });
        // Nothing chosen loses nothing: the question comes again next time.
        if (start.table.isEmpty())
            return { Mode::Keep };
    }
    return start;
}

void nameApplication()
{
    QApplication::setApplicationName(u"vkcp"_s);
    QApplication::setApplicationVersion(u"1.01"_s);
    QApplication::setWindowIcon(pictureIconWhenShown(u":/art/vkcp-128.png"_s));
}

int runProgram(int argc, char *argv[], const std::function<void(ControlPanel &)> &started)
{
    // The first text drawn waits for the font database, which takes longer to read than
    // everything the start does before. Most of that is the system's font configuration, which
    // needs no application yet: read from here, it overlaps the application's own start, and
    // another thread reads the rest. The start's threads are its own, not the shared pool's,
    // whose two threads on a two-core machine the main window's art needs.
    std::jthread fontConfiguration([] { FcInit(); });
    QApplication app(argc, argv);
    const std::jthread fonts([&fontConfiguration] {
        fontConfiguration.join();
        QFontDatabase::families();
    });
    // The first accessible name connects to the session bus, and waits for it; connected here,
    // it no longer does.
    const std::jthread bus([] { QDBusConnection::sessionBus(); });
    nameApplication();
    applyProgramStyle();

    const QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.size() > 1 || (!arguments.isEmpty() && arguments[0].startsWith(u'-'))) {
        std::fputs("usage: vkcp [FILE.gam]\n", stderr);
        return 2;
    }

    QtUserDialogs dialogs;
    // The lock waits for the disk; the main window is made meanwhile, and shown only once the
    // workspace is this copy's.
    std::future<WorkspaceClaim> claiming =
        std::async(std::launch::async, claimWorkspace, Workspace::programDirectory(),
                   QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    // So is the table named, which the workspace takes in once the window shows.
    std::future<Workspace::TableRead> reading;
    if (!arguments.isEmpty())
        reading = std::async(std::launch::async, &Workspace::readTable, arguments[0]);
    auto mainWindow = std::make_unique<MainWindow>();
    const WorkspaceClaim claim = claiming.get();
    const QString &directory = claim.directory;
    if (directory.isEmpty()) {
        dialogs.error(nullptr,
                      u"VK Control Panel cannot start: no directory for its work files can be "
                      "written, neither its own nor the user's application data directory."_s);
        return 1;
    }
    if (!claim.lock)
        return handToRunningCopy(directory, arguments, dialogs);

    ControlPanel panel(directory, dialogs, askAboutLastSession(directory, claim.lockLeft, dialogs),
                       std::move(mainWindow));
    // Shown before anything else is done, which then overlaps the window system's work.
    panel.show();
    // Files opened in a file manager while the program runs come here, not to a second copy.
    InstanceServer server;
    if (server.listen(directory))
        QObject::connect(&server, &InstanceServer::fileReceived, &panel,
                         &ControlPanel::openFromElsewhere);
    else
        std::fprintf(stderr, "vkcp: files opened elsewhere cannot reach this copy: %s\n",
                     qPrintable(server.errorString()));
    QObject::connect(&panel, &ControlPanel::endRequested, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    if (!arguments.isEmpty())
        panel.openAtStart(arguments[0], [&reading] { return reading.get(); });
    if (started)
        started(panel);
    return app.exec();
}
