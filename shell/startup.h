#pragma once

#include <QString>

#include <functional>
#include <memory>

#include "controlpanel.h"

class QLockFile;
class UserDialogs;

// Where cmake --install and the package put the program's data (flags.txt), seen from the
// directory of its executable. That it exists is what makes a copy an installed one.
QString installedDataDirectory(const QString &programDirectory);

// The directory for the workspace files: the program's own directory when files can be made
// there and it is not an installed copy's, otherwise the fallback (the user's application data
// directory), created if need be. Empty when neither can be written.
QString chooseWorkspaceDirectory(const QString &programDirectory, const QString &fallback);

// The lock that keeps a second copy of the program out of a workspace: both would delete
// each other's working files. nullptr while a running copy holds it; the lock of a copy that
// was killed is taken over.
std::unique_ptr<QLockFile> lockWorkspace(const QString &directory);

// The application's name, version and icon. No display name: Qt would append it to the title
// of every window and message box.
void nameApplication();

inline constexpr char kAlreadyRunningMessage[] = "VK Control Panel is already running.";

// What to do with what the last session left in the workspace, asked when that session did not
// end as sessions do (its lock was left behind: it crashed, was killed or lost its power) or its
// files were kept for later, and its journal holds changes not saved. Asks nothing otherwise.
ControlPanel::Start askAboutLastSession(const QString &directory, bool lockLeft,
                                        UserDialogs &dialogs);

// The program: vkcp [FILE.gam]. started runs once the main window is shown and FILE loaded.
int runProgram(int argc, char *argv[], const std::function<void(ControlPanel &)> &started = {});
