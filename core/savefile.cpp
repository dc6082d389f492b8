#include "savefile.h"

#include "tableerror.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

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
    const QString reason = m_file.errorString();
    m_file.cancelWriting();
    throw TableError(u"Cannot write \"%1\": %2"_s.arg(shown(m_file.fileName()), reason));
}

void SafeSave::write(QByteArrayView data)
{
    if (!writeFully(m_file, data))
        fail();
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
