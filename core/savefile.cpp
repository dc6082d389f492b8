#include "savefile.h"

#include "tableerror.h"

#include <QDir>
#include <QFileInfo>

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kCopyBuffer = 1024 * 1024;

// The disk starts on what is written while the rest is still being written, a step at a time,
// so that the flush at commit has less left to wait for.
constexpr qint64 kWritebackStep = 1024 * 1024;

// Pieces handed to the kernel in one call, at most; IOV_MAX is 1024 on Linux.
constexpr size_t kGatheredPieces = 1024;

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
    startWriteback();
}

void SafeSave::startWriteback()
{
    const int target = m_file.handle();
    const off_t end = lseek(target, 0, SEEK_CUR);
    if (end < 0 || end - m_writebackFrom < kWritebackStep)
        return;
    // Only a start: the flush at commit writes and checks every byte whatever this did.
    sync_file_range(target, m_writebackFrom, end - m_writebackFrom, SYNC_FILE_RANGE_WRITE);
    m_writebackFrom = end;
}

void SafeSave::writeGathered(std::span<const QByteArrayView> pieces)
{
    if (!m_file.flush())
        fail();
    const int target = m_file.handle();
    std::array<iovec, kGatheredPieces> vectors;
    size_t next = 0;
    qint64 doneOfNext = 0; // bytes of pieces[next] written already
    while (next < pieces.size()) {
        size_t count = 0;
        for (size_t i = next; i < pieces.size() && count < vectors.size(); ++i, ++count) {
            const qint64 skipped = i == next ? doneOfNext : 0;
            vectors[count] = { const_cast<char *>(pieces[i].data() + skipped),
                               size_t(pieces[i].size() - skipped) };
        }
        ssize_t written = writev(target, vectors.data(), int(count));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno == EFAULT)
            break;
        if (written < 0)
            fail(qt_error_string(errno));
        if (written == 0)
            fail(u"the file system took none of the bytes"_s);
        // A short count without an error (a full disk) is followed by a call that says why.
        while (next < pieces.size() && written >= pieces[next].size() - doneOfNext) {
            written -= pieces[next].size() - doneOfNext;
            doneOfNext = 0;
            ++next;
        }
        doneOfNext += written;
    }
    for (; next < pieces.size(); ++next, doneOfNext = 0)
        write(QByteArray(pieces[next].data() + doneOfNext, pieces[next].size() - doneOfNext));
    startWriteback();
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
        const ssize_t copied = copy_file_range(source, &from, target, nullptr,
                                               size_t(qMin(count - done, kWritebackStep)), 0);
        if (copied > 0) {
            done += copied;
            startWriteback();
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
