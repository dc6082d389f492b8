#include "startup.h"

#include "controlpanel.h"
#include "instance.h"
#include "pagekinds.h"
#include "userdialogs.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLockFile>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cstdio>

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

QString chooseWorkspaceDirectory(const QString &programDirectory, const QString &fallback)
{
    if (canMakeFilesIn(programDirectory))
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

void nameApplication()
{
    QApplication::setApplicationName(u"vkcp"_s);
    QApplication::setApplicationVersion(u"1.01"_s);
    QApplication::setWindowIcon(QIcon(u":/art/vkcp-128.png"_s));
}

int runProgram(int argc, char *argv[], const std::function<void(ControlPanel &)> &started)
{
    QApplication app(argc, argv);
    nameApplication();

    const QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.size() > 1 || (!arguments.isEmpty() && arguments[0].startsWith(u'-'))) {
        std::fputs("usage: vkcp [FILE.gam]\n", stderr);
        return 2;
    }

    QtUserDialogs dialogs;
    const QString directory = chooseWorkspaceDirectory(
        Workspace::programDirectory(),
        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    if (directory.isEmpty()) {
        dialogs.error(nullptr,
                      u"VK Control Panel cannot start: no directory for its work files can be "
                      "written, neither its own nor the user's application data directory."_s);
        return 1;
    }
    const std::unique_ptr<QLockFile> lock = lockWorkspace(directory);
    if (!lock)
        return handToRunningCopy(directory, arguments, dialogs);

    ControlPanel panel(directory, dialogs);
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
    panel.show();
    if (!arguments.isEmpty())
        panel.loadFile(arguments[0]);
    if (started)
        started(panel);
    return app.exec();
}
