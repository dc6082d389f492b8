#include "instance.h"

#include "startup.h"
#include "userdialogs.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QSocketNotifier>
#include <QStringDecoder>
#include <QTimer>
#include <QWidget>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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

// A bare name lives in the temporary directory, where QLocalServer puts it, so that this copy
// and one built on Qt's sockets find each other.
QByteArray socketPath(const QString &name)
{
    return QFile::encodeName(QDir::isAbsolutePath(name) ? name : QDir::temp().filePath(name));
}

bool toAddress(const QByteArray &path, sockaddr_un &address)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || size_t(path.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    return true;
}

int localSocket()
{
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Closes the descriptor it holds when it goes.
class Descriptor
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    { }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// True once fd is ready for events, or has failed, so that the call that follows says which.
bool waitFor(int fd, short events, const QDeadlineTimer &deadline)
{
    for (;;) {
        pollfd entry { fd, events, 0 };
        const int ready = ::poll(&entry, 1, int(deadline.remainingTime()));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

// One later start's request, read as it comes; it ends with the answer, with anything but one
// well-formed request, or when the sender stays silent.
class Request : public QObject
{
public:
    Request(int fd, std::function<void(const QString &)> received, QObject *parent)
        : QObject(parent)
        , m_socket(fd)
        , m_readable(new QSocketNotifier(fd, QSocketNotifier::Read, this))
        , m_received(std::move(received))
    {
        connect(m_readable, &QSocketNotifier::activated, this, &Request::read);
        QTimer::singleShot(kReceiveTimeoutMs, this, &QObject::deleteLater);
        read();
    }

private:
    void read()
    {
        bool ended = false;
        char chunk[4096];
        for (;;) {
            const ssize_t got = ::recv(m_socket.get(), chunk, sizeof chunk, MSG_DONTWAIT);
            if (got > 0) {
                m_bytes.append(chunk, got);
                // More than any request holds: refused without reading on.
                if (m_bytes.size() > kLengthBytes + qsizetype(kMaxPathBytes))
                    return end();
                continue;
            }
            if (got < 0 && errno == EINTR)
                continue;
            ended = got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
            break;
        }
        if (m_bytes.size() < kLengthBytes)
            return ended ? end() : void();
        const quint32 length = qFromBigEndian<quint32>(m_bytes.constData());
        const qint64 size = kLengthBytes + qint64(length);
        if (length == 0 || length > kMaxPathBytes || m_bytes.size() > size)
            return end();
        if (m_bytes.size() < size)
            return ended ? end() : void();
        const QString path = pathOf(QByteArrayView(m_bytes).sliced(kLengthBytes));
        if (path.isEmpty())
            return end();
        ::send(m_socket.get(), kAcknowledged.data(), size_t(kAcknowledged.size()), MSG_NOSIGNAL);
        end();
        m_received(path);
    }
    void end()
    {
        // No more reads, however many notifications are still queued.
        m_readable->setEnabled(false);
        deleteLater();
    }

    const Descriptor m_socket;
    QSocketNotifier *const m_readable;
    std::function<void(const QString &)> m_received;
    QByteArray m_bytes;
};

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
{ }

InstanceServer::~InstanceServer()
{
    close();
}

void InstanceServer::close()
{
    if (m_socket < 0)
        return;
    delete m_incoming;
    m_incoming = nullptr;
    ::close(m_socket);
    m_socket = -1;
    ::unlink(m_socketPath.constData());
}

bool InstanceServer::listen(const QString &workspaceDirectory)
{
    close();
    const QByteArray path = socketPath(instanceServerName(workspaceDirectory));
    ::unlink(path.constData());
    sockaddr_un address;
    if (!toAddress(path, address)) {
        m_error = u"the socket's name is too long"_s;
        return false;
    }
    // Made in a directory only the user can enter and moved into place, so that no one else
    // can reach the socket in the moment before its permissions are set.
    QByteArray privateDirectory = QFile::encodeName(
        QFileInfo(QFile::decodeName(path)).absolutePath() + u"/vkcp-XXXXXX"_s);
    if (!::mkdtemp(privateDirectory.data())) {
        m_error = systemError(errno);
        return false;
    }
    const QByteArray madePath = privateDirectory + "/s";
    sockaddr_un madeAddress;
    toAddress(madePath, madeAddress); // shorter than path
    const int made = localSocket();
    const bool listening = made >= 0 &&
        ::bind(made, reinterpret_cast<const sockaddr *>(&madeAddress), sizeof madeAddress) == 0 &&
        ::chmod(madePath.constData(), S_IRWXU) == 0 && ::listen(made, 50) == 0 &&
        ::rename(madePath.constData(), path.constData()) == 0;
    const int error = errno;
    ::unlink(madePath.constData());
    ::rmdir(privateDirectory.constData());
    if (!listening) {
        if (made >= 0)
            ::close(made);
        m_error = systemError(error);
        return false;
    }
    m_socket = made;
    m_socketPath = path;
    m_incoming = new QSocketNotifier(m_socket, QSocketNotifier::Read, this);
    connect(m_incoming, &QSocketNotifier::activated, this, &InstanceServer::acceptAll);
    return true;
}

QString InstanceServer::errorString() const
{
    return m_error;
}

void InstanceServer::acceptAll()
{
    for (;;) {
        const int fd = ::accept4(m_socket, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return;
        }
        new Request(fd, [this](const QString &path) { emit fileReceived(path); }, this);
    }
}

bool handFileTo(const QString &workspaceDirectory, const QString &path, int timeoutMs)
{
    const QByteArray message = request(path);
    if (message.size() > kLengthBytes + kMaxPathBytes)
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    sockaddr_un address;
    if (!toAddress(socketPath(instanceServerName(workspaceDirectory)), address))
        return false;
    const Descriptor socket(localSocket());
    if (socket.get() < 0)
        return false;
    // A listener whose queue is full turns a caller away at once; it may have room soon.
    while (::connect(socket.get(), reinterpret_cast<const sockaddr *>(&address), sizeof address) !=
           0) {
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN || deadline.hasExpired())
            return false;
        ::poll(nullptr, 0, 10);
    }
    for (qsizetype sent = 0; sent < message.size();) {
        if (!waitFor(socket.get(), POLLOUT, deadline))
            return false;
        const ssize_t wrote = ::send(socket.get(), message.constData() + sent,
                                     size_t(message.size() - sent), MSG_NOSIGNAL);
        if (wrote < 0 && errno != EINTR && errno != EAGAIN)
            return false;
        sent += std::max<ssize_t>(wrote, 0);
    }
    QByteArray answer;
    while (answer.size() < kAcknowledged.size()) {
        if (!waitFor(socket.get(), POLLIN, deadline))
            return false;
        char chunk[8];
        const ssize_t got =
            ::recv(socket.get(), chunk, size_t(kAcknowledged.size() - answer.size()), 0);
        if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN))
            return false;
        answer.append(chunk, std::max<ssize_t>(got, 0));
    }
    return answer == kAcknowledged;
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
