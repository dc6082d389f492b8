// vkcp: the VK Control Panel. vkcp [FILE.gam] starts with FILE loaded.

#include "controlpanel.h"
#include "startup.h"
#include "userdialogs.h"

#include <QApplication>
#include <QIcon>
#include <QLockFile>
#include <QStandardPaths>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"vkcp"_s);
    QApplication::setApplicationDisplayName(u"VK Control Panel"_s);
    QApplication::setApplicationVersion(u"1.01"_s);
    QApplication::setWindowIcon(QIcon(u":/art/vkcp-128.png"_s));

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
    if (!lock) {
        dialogs.error(nullptr, QString::fromLatin1(kAlreadyRunningMessage));
        return 1;
    }

    ControlPanel panel(directory, dialogs);
    QObject::connect(&panel, &ControlPanel::endRequested, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    panel.show();
    if (!arguments.isEmpty())
        panel.loadFile(arguments[0]);
    return app.exec();
}
