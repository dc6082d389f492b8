#include "instance.h"

#include "controlpanel.h"
#include "editorfixture.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QtEndian>

#include <future>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

class HandOffTest : public testing::Test
{
protected:
    HandOffTest()
    {
        writeFile(tablePath, table({ sound("Alpha") }));
        QObject::connect(&server, &InstanceServer::fileReceived, [this](const QString &path) {
            received.append(path);
            panel.openFromElsewhere(path);
        });
    }

    // As a second start would run it: in a process of its own, blocking; here the running
    // copy's server needs this thread's events meanwhile.
    int secondStart(const QStringList &arguments)
    {
        auto start = std::async(std::launch::async,
                                [&] { return handToRunningCopy(dir.path(), arguments, dialogs); });
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return start.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
            10000));
        return start.get();
    }
    NameList soundNames() { return panel.workspace().pageNames(PageKind::Sound); }

    TempDir dir;
    QString tablePath = dir.path(u"levels.gam"_s);
    ScriptedDialogs dialogs;
    ControlPanel panel { dir.path() + u'/', dialogs };
    InstanceServer server;
    QStringList received;
};

} // namespace

// A file handed over while an editor is open, named relative to the second start's folder,
// waits for the editor to close, then loads.
TEST_F(HandOffTest, AHandedFileLoadsOnceTheUserIsBackAtTheMainWindow)
{
    panel.show();
    ASSERT_TRUE(server.listen(dir.path()));
    const QString folder = QDir::currentPath();
    QDir::setCurrent(dir.path());
    PageEditor &sounds = *panel.editor(PageKind::Sound);
    EXPECT_TRUE(inModal(
        sounds, [&] { sounds.showModal(); },
        [&] {
            EXPECT_EQ(secondStart({ u"levels.gam"_s }), 0);
            EXPECT_EQ(received, QStringList({ tablePath }));
            QTest::qWait(300);
            EXPECT_TRUE(soundNames().isEmpty()); // not under the open editor
        }));
    QDir::setCurrent(folder);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !soundNames().isEmpty(); }));
    EXPECT_EQ(soundNames(), NameList({ "Alpha" }));
    EXPECT_EQ(sounds.pageList().model()->rowCount(), 1);
    EXPECT_TRUE(dialogs.takeMessages().isEmpty());

    // With a page not saved it asks first, as Load table file does: Cancel keeps the table and
    // drops the file, Don't save loads it.
    sounds.add();
    ASSERT_EQ(soundNames().size(), 2);
    for (const UserDialogs::Answer answer :
         { UserDialogs::Answer::Cancel, UserDialogs::Answer::Discard }) {
        dialogs.answers = { answer };
        EXPECT_EQ(secondStart({ tablePath }), 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !dialogs.messages.isEmpty(); }));
        EXPECT_EQ(dialogs.takeMessages(),
                  QStringList({ u"VK Control Panel: Save changes to \"levels.gam\" before "
                                u"loading another table?"_s }));
        QTest::qWait(300);
        EXPECT_EQ(soundNames().size(), answer == UserDialogs::Answer::Cancel ? 2 : 1);
    }
}

// Whatever is not one absolute UTF-8 path of sensible length is cut off unanswered; the
// server still serves the next start.
TEST_F(HandOffTest, AMalformedRequestIsRefusedWithoutEffect)
{
    ASSERT_TRUE(server.listen(dir.path()));
    const auto framed = [](const QByteArray &path) {
        QByteArray length(4, '\0');
        qToBigEndian<quint32>(quint32(path.size()), length.data());
        return length + path;
    };
    for (const QByteArray &message :
         { framed("levels.gam"), framed("/tmp/\xff\xfe.gam"), framed(QByteArray("/a\0b", 4)),
           framed(""), framed("/tmp/a.gam") + 'x', QByteArray("\xff\xff\xff\xff/tmp/a.gam"),
           QByteArray("/tmp/a.gam\n"), framed(QByteArray(20000, '/')) }) {
        QLocalSocket socket;
        socket.connectToServer(instanceServerName(dir.path()));
        ASSERT_TRUE(socket.waitForConnected(2000));
        socket.write(message);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return socket.state() == QLocalSocket::UnconnectedState; }, 3000))
            << message.toHex().toStdString();
        EXPECT_TRUE(socket.readAll().isEmpty());
    }
    EXPECT_TRUE(received.isEmpty());
    EXPECT_EQ(secondStart({ tablePath }), 0);
    EXPECT_EQ(received, QStringList({ tablePath }));

    // A copy built on Qt's own sockets is answered as this one is.
    QLocalSocket socket;
    socket.connectToServer(instanceServerName(dir.path()));
    ASSERT_TRUE(socket.waitForConnected(2000));
    socket.write(framed(tablePath.toUtf8()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return socket.bytesAvailable() >= 3; }, 3000));
    EXPECT_EQ(socket.readAll(), "ok\n");
    EXPECT_EQ(received, QStringList({ tablePath, tablePath }));
}

// Only the user may reach the socket, and it goes with the copy that made it.
TEST_F(HandOffTest, TheSocketIsTheUsersAloneAndGoesWithItsCopy)
{
    QString socketPath = instanceServerName(dir.path());
    if (!QDir::isAbsolutePath(socketPath))
        socketPath = QDir::temp().filePath(socketPath);
    {
        InstanceServer own;
        ASSERT_TRUE(own.listen(dir.path()));
        const QFileInfo socket(socketPath);
        ASSERT_TRUE(socket.exists());
        EXPECT_EQ(socket.permissions() & ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                  QFile::Permissions());
        EXPECT_EQ(secondStart({ tablePath }), 0);
    }
    EXPECT_FALSE(QFileInfo::exists(socketPath));
}

// Without a FILE, beside a hung copy or after a killed one (its socket left behind), the second
// start says the program is running; the next copy listens over what the killed one left.
TEST_F(HandOffTest, ASecondStartThatCannotHandOverSaysTheProgramIsRunning)
{
    const QStringList running({ u"VK Control Panel: VK Control Panel is already running."_s });
    QString socketPath = instanceServerName(dir.path());
    if (!QDir::isAbsolutePath(socketPath))
        socketPath = QDir::temp().filePath(socketPath);
    {
        QLocalServer hung; // listens, never answers
        ASSERT_TRUE(hung.listen(socketPath));
        EXPECT_FALSE(handFileTo(dir.path(), tablePath, 300));
    }

    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const QByteArray encoded = QFile::encodeName(socketPath);
    ASSERT_LT(size_t(encoded.size()), sizeof(address.sun_path));
    std::copy(encoded.begin(), encoded.end(), address.sun_path);
    const int left = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(left, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    close(left);
    EXPECT_EQ(secondStart({ tablePath }), 1);
    EXPECT_EQ(dialogs.takeMessages(), running);

    ASSERT_TRUE(server.listen(dir.path()));
    EXPECT_EQ(secondStart({}), 1);
    EXPECT_EQ(dialogs.takeMessages(), running);
    EXPECT_TRUE(received.isEmpty());
    EXPECT_EQ(secondStart({ tablePath }), 0);
    EXPECT_EQ(received, QStringList({ tablePath }));
}
