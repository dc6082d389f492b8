#pragma once

#include "journal.h"
#include "pagekinds.h"
#include "workspace.h"

#include <QObject>
#include <QTimer>

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

// What the start does with what the last session left in the workspace.
struct SessionStart
{
    enum class Mode {
        Clean, // deletes it, as every start did before sessions were journaled
        Restore, // puts its table back, onto `table` when not its own
        Keep, // leaves it for a later start and runs without a journal meanwhile
    };
    Mode mode = Mode::Clean;
    std::optional<LastSession> session {};
    QString table {};
};

// The application: the workspace, every window, and the commands of the main window. The main
// window is made at start, every other window when first needed; each then lives as long as
// the program.
class ControlPanel : public QObject
{
    Q_OBJECT

public:
    using Start = SessionStart;

    ControlPanel(const QString &workspaceDirectory, UserDialogs &dialogs, const Start &start = {});
    // With the main window the start made while it waited for the workspace.
    ControlPanel(const QString &workspaceDirectory, UserDialogs &dialogs, const Start &start,
                 std::unique_ptr<MainWindow> mainWindow);
    ~ControlPanel() override;

    void show();

    Workspace &workspace() { return m_workspace; }
    PageLists &lists() const { return *m_lists; }
    MainWindow &mainWindow() const { return *m_main; }
    LoaderWindow &loaderWindow();
    SavingWindow &savingWindow();
    AboutBox &aboutBox();
    CheckWindow &checkWindow();
    // The kind's editor, made now if it was not yet; nullptr for a kind that has no editor.
    PageEditor *editor(PageKind kind);
    // nullptr until the editor is first needed.
    PageEditor *madeEditor(PageKind kind) const;

    void newTable();
    void loadTable();
    // Asks about every page with changes not yet applied: false when the user cancels.
    bool settleEditors();
    // What is to become of the table: the program ends, New replaces it, or a load does.
    enum class Leaving { Closing, New, Load };
    // Before the table is closed or replaced: settleEditors, then, when pages have changes not
    // saved, "Save changes to ...?" with Save, Don't save and Cancel. False when the user
    // cancels, or the save fails or is cancelled.
    bool settleTable(Leaving leaving);
    // Loads path as Load table file does after its dialog. Returns whether it loaded.
    bool loadFile(const QString &path);
    // The table named when the program starts. Over a session restored onto another table it
    // asks first, as Load table file does; the table restored onto is not loaded again. It
    // loads as part of the start, before the main window is first painted: the loader window
    // would only flash up over nothing for the moment the load takes. A start that read the
    // file already, while it made the windows, passes what it read as read.
    bool openAtStart(const QString &path,
                     const std::function<Workspace::TableRead()> &read = {});
    // A file handed over by a later start of the program: the main window comes to the front
    // and, once the user is back at it, loads the file as Load table file does, asking first.
    void openFromElsewhere(const QString &path);
    // Returns whether the table was saved.
    bool saveTable();
    // Saves to target as Save table file does after its dialog.
    bool saveTo(const QString &target);
    // Where the table file dialogs start when no table names a folder: the one last used, in
    // this run or an earlier one, or the home folder.
    QString lastFolder() const;
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
    enum class LoaderShown { Yes, No };
    bool load(const QString &path, LoaderShown shown,
              const std::function<Workspace::TableRead()> &read = {});
    void refreshLists();
    void rememberFolder(const QString &file);
    // The status strip, once the changes of the moment are done: a bulk edit updates it once.
    void updateStatusSoon() { m_statusTimer.start(); }
    void updateStatus();
    // Ends the program at once.
    void end();
    // Fills the check window afresh, keeping its current row; false, after the error box, when
    // the table could not be read.
    bool runCheck(QWidget *parent, int currentRow);
    // Opens the finding's page in its editor, then checks again.
    void openFinding(const Finding &finding);
    // Check again, keeping the current row; the window closes when the table cannot be read.
    void checkAgain();

    UserDialogs &m_dialogs;
    Workspace m_workspace;
    QString m_lastFolder;
    QTimer m_statusTimer;
    // Before the windows: the editors leave it as they go.
    std::unique_ptr<PageLists> m_lists;
    std::unique_ptr<MainWindow> m_main;
    // Settings windows that several editors open; the main window owns them.
    std::unique_ptr<SharedDialogs> m_shared;
    // Not children of the main window: they stay usable while it is disabled.
    std::unique_ptr<LoaderWindow> m_loader;
    std::unique_ptr<SavingWindow> m_saving;
    // Children of the main window; the editors are too, and PageLists knows them.
    AboutBox *m_about = nullptr;
    CheckWindow *m_check = nullptr;
    PendingLoad *m_handedFile;
};
