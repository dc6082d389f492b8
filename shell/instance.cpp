#include "instance.h"

#include "startup.h"
#include "userdialogs.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStringDecoder>
#include <QTimer>
#include <QWidget>
#include <QtEndian>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// A request is the path's length as four bytes, most significant first, then the path in
// UTF-8; the answer is kAcknowledged. Any path a file system takes is far shorter.
constexpr qsizetype kLengthBytes = 4;
constexpr quint32 kMaxPathBytes = 16 * 1024;
constexpr QByteArrayView kAcknowledged = "ok\n";
// A sender that stays silent is not kept waiting for.
constexpr int kReceiveTimeoutMs = 5000;
// AF_UNIX paths hold at most 107 bytes.
constexpr qsizetype kMaxSocketPath = 100;

QByteArray request(const QString &path)
{
    const QByteArray bytes = path.toUtf8();
    QByteArray message(kLengthBytes, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(bytes.size()), message.data());
    return message + bytes;
}

// The absolute path a complete request names; empty for anything else.
QString pathOf(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString path = utf8(bytes);
    if (utf8.hasError() || path.contains(QChar(0)) || !QDir::isAbsolutePath(path))
        return {};
    return path;
}

QWidget *modalWindow()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    // A native file dialog's widget is modal and "visible" without a window on the screen.
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->windowModality() != Qt::NonModal)
            return window;
    return nullptr;
}

void bringToFront(QWidget &window)
{
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace

QString instanceServerName(const QString &workspaceDirectory)
{
    QDir directory(workspaceDirectory);
    const QString canonical = directory.canonicalPath();
    QByteArray key = (canonical.isEmpty() ? directory.absolutePath() : canonical).toUtf8();
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const bool ownDirectory = !runtime.isEmpty() && QDir(runtime).exists();
    // Without a directory of the user's own, the name goes to the shared temporary directory.
    if (!ownDirectory)
        key += '\n' + QByteArray::number(getuid());
    const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex();
    const QString name = u"vkcp-"_s + QString::fromLatin1(hash.left(32));
    const QString inRuntime = QDir(runtime).filePath(name);
    return ownDirectory && inRuntime.toUtf8().size() <= kMaxSocketPath ? inRuntime : name;
}

InstanceServer::InstanceServer(QObject *parent)
    : QObject(parent)
    , m_server(new QLocalServer(this))
{
    // Other users may not hand this user's program files.
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { receive(socket); });
            QTimer::singleShot(kReceiveTimeoutMs, socket, [socket] {
                socket->abort();
                socket->deleteLater();
            });
            receive(socket);
        }
    });
}

bool InstanceServer::listen(const QString &workspaceDirectory)
{
    const QString name = instanceServerName(workspaceDirectory);
    QLocalServer::removeServer(name);
    return m_server->listen(name);
}

QString InstanceServer::errorString() const
{
    return m_server->errorString();
}

void InstanceServer::receive(QLocalSocket *socket)
{
    if (socket->state() != QLocalSocket::ConnectedState || socket->bytesAvailable() < kLengthBytes)
        return;
    const quint32 length = qFromBigEndian<quint32>(socket->peek(kLengthBytes).constData());
    const qint64 size = kLengthBytes + qint64(length);
    if (length != 0 && length <= kMaxPathBytes && socket->bytesAvailable() < size)
        return;
    QString path;
    if (length != 0 && length <= kMaxPathBytes && socket->bytesAvailable() == size)
        path = pathOf(socket->read(size).sliced(kLengthBytes));
    if (path.isEmpty()) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    socket->write(kAcknowledged.data(), kAcknowledged.size());
    socket->disconnectFromServer();
    emit fileReceived(path);
}

bool handFileTo(const QString &workspaceDirectory, const QString &path, int timeoutMs)
{
    const QByteArray message = request(path);
    if (message.size() > kLengthBytes + kMaxPathBytes)
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(instanceServerName(workspaceDirectory));
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return false;
    socket.write(message);
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
            return false;
    while (socket.bytesAvailable() < kAcknowledged.size())
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    return socket.read(kAcknowledged.size()) == kAcknowledged;
}

int handToRunningCopy(const QString &workspaceDirectory, const QStringList &arguments,
                      UserDialogs &dialogs)
{
    // The running copy has a working directory of its own.
    if (!arguments.isEmpty() &&
        handFileTo(workspaceDirectory, QFileInfo(arguments[0]).absoluteFilePath()))
        return 0;
    dialogs.error(nullptr, QString::fromLatin1(kAlreadyRunningMessage));
    return 1;
}

PendingLoad::PendingLoad(QWidget &main, std::function<void(const QString &)> load, QObject *parent)
    : QObject(parent)
    , m_main(main)
    , m_load(std::move(load))
    , m_retry(new QTimer(this))
{
    // Modal windows close without a signal to us; looking five times a second costs nothing.
    m_retry->setInterval(200);
    connect(m_retry, &QTimer::timeout, this, &PendingLoad::loadWhenFree);
}

void PendingLoad::hold(const QString &path)
{
    m_path = path;
    bringToFront(m_main);
    if (QWidget *modal = modalWindow()) {
        modal->raise();
        modal->activateWindow();
    }
    m_retry->start();
}

void PendingLoad::loadWhenFree()
{
    if (modalWindow() || QApplication::activePopupWidget() || !m_main.isEnabled())
        return;
    m_retry->stop();
    m_load(std::exchange(m_path, QString()));
}
