#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QSocketNotifier;
class QTimer;
class UserDialogs;

// Where the copy of the program that holds a workspace listens for files handed over by a
// later start: a name made from a hash of the directory, so copies with different workspaces
// never meet, in the user's runtime directory when there is one.
QString instanceServerName(const QString &workspaceDirectory);

// The running copy's end: receives the absolute path of a file that a later start was given.
class InstanceServer : public QObject
{
    Q_OBJECT

public:
    explicit InstanceServer(QObject *parent = nullptr);
    ~InstanceServer() override;

    // Only while holding the workspace's lock: what a killed copy left is removed first.
    bool listen(const QString &workspaceDirectory);
    QString errorString() const;

signals:
    void fileReceived(const QString &path);

private:
    void acceptAll();
    void close();

    // A local socket made with the system's calls rather than QLocalServer: Qt's network
    // library and the Kerberos and proxy libraries it brings took a tenth of the start.
    int m_socket = -1;
    QByteArray m_socketPath;
    QSocketNotifier *m_incoming = nullptr;
    QString m_error;
};

// Hands path to the copy that holds the workspace; true once that copy acknowledged it.
bool handFileTo(const QString &workspaceDirectory, const QString &path, int timeoutMs = 3000);

// A start that found the workspace held by another copy: hands its FILE over and returns 0;
// without a FILE, or when the other copy does not answer, says it is already running and
// returns 1.
int handToRunningCopy(const QString &workspaceDirectory, const QStringList &arguments,
                      UserDialogs &dialogs);

// Holds a handed-over file until the user is back at the main window (no modal window or menu
// open, no load or save under way), then loads it; a later file replaces one still waiting.
class PendingLoad : public QObject
{
    Q_OBJECT

public:
    PendingLoad(QWidget &main, std::function<void(const QString &)> load, QObject *parent);

    // Brings the main window to the front, and any modal window before it, so that the user
    // sees what the load waits for.
    void hold(const QString &path);

private:
    void loadWhenFree();

    QWidget &m_main;
    std::function<void(const QString &)> m_load;
    QTimer *m_retry;
    QString m_path;
};
