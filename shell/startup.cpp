#include "startup.h"

#include <QDir>
#include <QLockFile>
#include <QTemporaryFile>

using namespace Qt::StringLiterals;

namespace {

bool canMakeFilesIn(const QString &directory)
{
    QTemporaryFile probe(QDir(directory).filePath(u"probe-XXXXXX"_s));
    return probe.open();
}

QString withSlash(QString directory)
{
    if (!directory.endsWith(u'/'))
        directory += u'/';
    return directory;
}

} // namespace

QString chooseWorkspaceDirectory(const QString &programDirectory, const QString &fallback)
{
    if (canMakeFilesIn(programDirectory))
        return withSlash(programDirectory);
    if (!fallback.isEmpty() && QDir().mkpath(fallback) && canMakeFilesIn(fallback))
        return withSlash(fallback);
    return {};
}

std::unique_ptr<QLockFile> lockWorkspace(const QString &directory)
{
    auto lock = std::make_unique<QLockFile>(QDir(directory).filePath(u"vkcp.lock"_s));
    // Only a dead owner makes the lock stale; a copy that runs for days keeps it.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(200))
        return nullptr;
    return lock;
}
