#pragma once

#include "pagekinds.h"
#include "workspace.h"

#include <QObject>

#include <array>
#include <memory>

class AboutBox;
class CheckWindow;
struct Finding;
class LoaderWindow;
class MainWindow;
class PageEditor;
class PageLists;
class PendingLoad;
class SavingWindow;
class SharedDialogs;
class UserDialogs;

// The application: the workspace, every window, made once in a fixed order, and the
// commands of the main window.
class ControlPanel : public QObject
{
    Q_OBJECT

public:
    ControlPanel(const QString &workspaceDirectory, UserDialogs &dialogs);
    ~ControlPanel() override;

    void show();

    Workspace &workspace() { return m_workspace; }
    PageLists &lists() const { return *m_lists; }
    MainWindow &mainWindow() const { return *m_main; }
    LoaderWindow &loaderWindow() const { return *m_loader; }
    SavingWindow &savingWindow() const { return *m_saving; }
    AboutBox &aboutBox() const { return *m_about; }
    CheckWindow &checkWindow() const { return *m_check; }
    // nullptr for a kind that has no editor yet.
    PageEditor *editor(PageKind kind) const { return m_editors[kindIndex(kind)]; }

    void newTable();
    void loadTable();
    // Asks about every page with changes not yet applied: false when the user cancels.
    bool settleEditors();
    // Loads path as Load table file does after its dialog. Returns whether it loaded.
    bool loadFile(const QString &path);
    // A file handed over by a later start of the program: the main window comes to the front
    // and, once the user is back at it, loads the file as Load table file does.
    void openFromElsewhere(const QString &path);
    void saveTable();
    // Saves to target as Save table file does after its dialog.
    void saveTo(const QString &target);
    // Check table: what `vktable check` finds in the table as Save table file would write it
    // now, in the check window.
    void checkTable();
    void checkForNewVersions();
    void openEditor(PageKind kind);
    void showAbout();

signals:
    // Exit and the close hot area, once no page has changes left to ask about, and the loader
    // window's Cancel: end at once.
    void endRequested();

private:
    void refreshLists();
    // Fills the check window afresh, keeping its current row; false, after the error box, when
    // the table could not be read.
    bool runCheck(QWidget *parent, int currentRow);
    // Opens the finding's page in its editor, then checks again.
    void openFinding(const Finding &finding);
    // Check again, keeping the current row; the window closes when the table cannot be read.
    void checkAgain();

    UserDialogs &m_dialogs;
    Workspace m_workspace;
    // Before the windows: the editors leave it as they go.
    std::unique_ptr<PageLists> m_lists;
    std::unique_ptr<MainWindow> m_main;
    // Settings windows that several editors open; the main window owns them.
    std::unique_ptr<SharedDialogs> m_shared;
    // Not children of the main window: they stay usable while it is disabled.
    std::unique_ptr<LoaderWindow> m_loader;
    std::array<PageEditor *, kEditedKinds.size()> m_editors {};
    AboutBox *m_about;
    CheckWindow *m_check;
    std::unique_ptr<SavingWindow> m_saving;
    PendingLoad *m_handedFile;
};
