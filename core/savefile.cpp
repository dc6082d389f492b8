#include "savefile.h"

#include "tableerror.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kCopyBuffer = 1024 * 1024;

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

SafeSave::SafeSave(const QString &target)
    : m_file(target)
{
    const QFileInfo info(target);
    if (info.exists() && !info.isFile())
        throw TableError(u"Cannot save to \"%1\": it is not a regular file."_s.arg(shown(target)));
    // Replacing a read-only file would go around its protection. QSaveFile asks the same by the
    // real user id; the effective one is what opening the file itself would be judged by.
    if (info.exists() &&
        faccessat(AT_FDCWD, QFile::encodeName(target).constData(), W_OK, AT_EACCESS) != 0) {
        const int error = errno;
        throw TableError(u"Cannot save to \"%1\": %2"_s.arg(shown(target), qt_error_string(error)));
    }
    // Writing in place would give up the atomic replacement.
    m_file.setDirectWriteFallback(false);
    if (!m_file.open(QIODevice::WriteOnly))
        throw TableError(u"Cannot save to \"%1\": %2"_s.arg(shown(target), m_file.errorString()));
}

void SafeSave::fail()
{
    fail(m_file.errorString());
}

void SafeSave::fail(const QString &reason)
{
    m_file.cancelWriting();
    throw TableError(u"Cannot write \"%1\": %2"_s.arg(shown(m_file.fileName()), reason));
}

void SafeSave::write(QByteArrayView data)
{
    if (!writeFully(m_file, data))
        fail();
}

qint64 SafeSave::copyFrom(int source, qint64 offset, qint64 count, int &readError)
{
    readError = 0;
    // What Qt still holds goes first, so the bytes stay in order.
    if (!m_file.flush())
        fail();
    const int target = m_file.handle();
    qint64 done = 0;
    while (done < count && m_kernelCopies) {
        off64_t from = offset + done;
        const ssize_t copied =
            copy_file_range(source, &from, target, nullptr, size_t(count - done), 0);
        if (copied > 0) {
            done += copied;
        } else if (copied == 0) {
            return done;
        } else if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) {
            m_kernelCopies = false;
        } else if (errno != EINTR) {
            fail(qt_error_string(errno));
        }
    }
    if (done < count && m_copyBuffer.isEmpty())
        m_copyBuffer.resize(kCopyBuffer);
    while (done < count) {
        const ssize_t got = pread(source, m_copyBuffer.data(),
                                  size_t(qMin<qint64>(count - done, kCopyBuffer)), offset + done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            readError = got < 0 ? errno : 0;
            return done;
        }
        // Through the file: a short last piece it holds goes before any later kernel copy.
        write(QByteArrayView(m_copyBuffer.constData(), got));
        done += got;
    }
    return done;
}

void SafeSave::commit()
{
    if (!m_file.flush() || m_file.error() != QFileDevice::NoError)
        fail();
    if (!m_file.commit())
        throw TableError(
            u"Cannot write \"%1\": %2"_s.arg(shown(m_file.fileName()), m_file.errorString()));
}

bool writeFully(QFileDevice &file, QByteArrayView data)
{
    const qint64 written = file.write(data.data(), data.size());
    if (written == data.size())
        return true;
    if (written >= 0 && file.error() == QFileDevice::NoError)
        file.write(data.data() + written, data.size() - written);
    return false;
}
