#include "savefile.h"

#include "tableerror.h"

#include <QDir>
#include <QFileInfo>

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
    // A full disk may show only as a short count, with no error set.
    if (m_file.write(data.data(), data.size()) != data.size())
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
