#pragma once

#include <QDialog>

class QPushButton;
class UserDialogs;
class Workspace;

// The file-type filter of the dialogs that pick a table file.
inline constexpr QLatin1StringView kTableFileFilter("Table files(*.gam)|*.gam|All files(*.*)|*.*");

// The warnings of a load, over owner: pages of another version were skipped, the last page was
// cut short.
void warnAboutLoad(UserDialogs &dialogs, QWidget *owner, const Workspace &workspace,
                   bool versionMismatch);

// The loader window: shown while a table file is read, and the owner of the dialog that
// picks the table file to load.
class LoaderWindow : public QDialog
{
    Q_OBJECT

public:
    LoaderWindow(UserDialogs &dialogs, QWidget *parent = nullptr);

    // The table file the user picks, starting in folder, or an empty string when the user
    // cancels.
    QString OpenGAMFile(QWidget *owner, const QString &folder);
    // Loads the file into the workspace and warns, once, about pages of another version, and
    // about a last page that the file's end cuts short.
    // Throws TableError; the workspace is then unchanged.
    void LoadTableFile(Workspace &workspace, const QString &path);

    // The warnings of a load, over this window. Also said after the reload that follows a save
    // over the loaded file.
    void reportLoad(const Workspace &workspace, bool versionMismatch);

    // Ends the program, as the main menu's Exit does.
    QPushButton &cancelButton() const { return *m_cancel; }

private:
    UserDialogs &m_dialogs;
    QPushButton *m_cancel;
};
