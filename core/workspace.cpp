#include "workspace.h"

#include "recordfile.h"
#include "savefile.h"
#include "tableerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// One spelling per file, also for a file that does not exist yet.
QString canonical(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists())
        return info.canonicalFilePath();
    const QString directory = info.absoluteDir().canonicalPath();
    if (directory.isEmpty())
        return QDir::cleanPath(info.absoluteFilePath());
    return directory + u'/' + info.fileName();
}

} // namespace

Workspace::Workspace(QString directory)
    : m_directory(std::move(directory))
{
    if (!m_directory.endsWith(u'/'))
        m_directory += u'/';
}

QString Workspace::programDirectory()
{
    return QCoreApplication::applicationDirPath() + u'/';
}

QString Workspace::filePath(QLatin1StringView fileName) const
{
    return m_directory + fileName;
}

QString Workspace::workingFilePath(PageKind kind) const
{
    Q_ASSERT(isEdited(kind));
    return filePath(kindInfo(kind).workingFile);
}

QList<QLatin1StringView> Workspace::cleanUpFiles()
{
    return {
        kindInfo(PageKind::Texture).workingFile,
        kindInfo(PageKind::Generic).workingFile,
        kindInfo(PageKind::Weapon).workingFile,
        kindInfo(PageKind::Door).workingFile,
        kindInfo(PageKind::Sound).workingFile,
        kindInfo(PageKind::Ship).workingFile,
        WorkspaceFile::clipboard,
        WorkspaceFile::backup,
        WorkspaceFile::temp,
    };
}

void Workspace::cleanUp()
{
    // A file that is missing or cannot be deleted is passed over.
    for (QLatin1StringView name : cleanUpFiles())
        QFile::remove(filePath(name));
    m_workingFileEnds = {};
}

const QList<QByteArray> &Workspace::pageNames(PageKind kind) const
{
    Q_ASSERT(isEdited(kind));
    return m_names[kindIndex(kind)];
}

bool Workspace::load(const QString &path)
{
    // Edits would be appended to the very file the pages are read from.
    if (ownFile(path))
        throw TableError(u"Cannot load \"%1\": the program keeps its own work in that file."_s.arg(
            QDir::toNativeSeparators(path)));
    // Taken before the walk, so a change during it is noticed too.
    const QFileInfo stamp(path);
    const qint64 size = stamp.size();
    const QDateTime modified = stamp.lastModified();
    LoadedTable table = LoadTableFile(path);
    m_pages = std::move(table.directory);
    m_names = std::move(table.names);
    m_loadedPath = stamp.absoluteFilePath();
    m_loadedSize = size;
    m_loadedModified = modified;
    m_cutOffRecord = table.cutOffRecord;
    markSaved(m_loadedPath);
    return table.versionMismatch;
}

void Workspace::newTable()
{
    m_pages.forgetAll();
    for (QList<QByteArray> &names : m_names)
        names.clear();
    markSaved(QString());
}

void Workspace::markSaved(const QString &path)
{
    m_savedPath = path;
    for (PageKind kind : kEditedKinds) {
        QHash<int, SavedPage> &saved = m_savedPages[kindIndex(kind)];
        saved.clear();
        const QList<QByteArray> &names = m_names[kindIndex(kind)];
        saved.reserve(names.size());
        for (int position = 0; position < names.size(); ++position)
            saved.insert(slotOf(kind, position), { recordOf(kind, position), names[position] });
    }
}

int Workspace::unsavedPageCount() const
{
    int changed = 0;
    for (PageKind kind : kEditedKinds) {
        const QHash<int, SavedPage> &saved = m_savedPages[kindIndex(kind)];
        const QList<QByteArray> &names = m_names[kindIndex(kind)];
        int stillListed = 0;
        for (int position = 0; position < names.size(); ++position) {
            const auto was = saved.constFind(slotOf(kind, position));
            if (was == saved.cend()) {
                ++changed;
                continue;
            }
            ++stillListed;
            if (was->record != recordOf(kind, position) || was->name != names[position])
                ++changed;
        }
        // A listed slot is listed once, so the saved pages not found were deleted.
        changed += int(saved.size()) - stillListed;
    }
    return changed;
}

RecordSource Workspace::recordSource(PageKind kind, bool inWorkingFile) const
{
    if (!inWorkingFile) {
        // Another program may have written the file meanwhile; its pages would then be read
        // from wherever the old ones were, and a save would mix the two files.
        const QFileInfo now(m_loadedPath);
        if (now.exists() && (now.size() != m_loadedSize || now.lastModified() != m_loadedModified))
            throw TableError(
                u"The table file \"%1\" has changed since it was loaded, so its pages are no "
                "longer where they were. Load it again."_s.arg(
                    QDir::toNativeSeparators(m_loadedPath)));
        return { m_loadedPath, u"table file"_s };
    }
    return { workingFilePath(kind), u"working file \"%1\""_s.arg(kindInfo(kind).workingFile) };
}

QByteArray Workspace::readPage(PageKind kind, int position) const
{
    const PageDirectory::Location at = m_pages.resolve(kind, position);
    const RecordSource source = recordSource(kind, at.inWorkingFile);
    return RecordFile(source.path, source.description).readRecord(at.position);
}

qint64 Workspace::appendRecord(PageKind kind, const QByteArray &record)
{
    QFile file(workingFilePath(kind));
    auto failed = [&] {
        return TableError(u"Cannot write the working file \"%1\": %2"_s.arg(
            QDir::toNativeSeparators(file.fileName()), file.errorString()));
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        throw failed();
    const qint64 size = file.size();
    qint64 &written = m_workingFileEnds[kindIndex(kind)];
    const qint64 position = qMax(size, written);
    if (position > size && !file.resize(position))
        throw failed();
    if (!writeFully(file, record)) {
        const TableError error = failed();
        file.resize(position);
        throw error;
    }
    written = position + record.size();
    return PageDirectory::workingFileOffset(position);
}

void Workspace::applyPage(PageKind kind, int position, const QByteArray &record,
                          const QByteArray &name)
{
    m_pages.recordNewVersion(kind, position, appendRecord(kind, record));
    setPageName(kind, position, name);
}

int Workspace::addPage(PageKind kind, const QByteArray &record, const QByteArray &name)
{
    const int position = m_pages.pageCount(kind);
    restorePage(kind, position, storeNewPage(kind, record), name);
    return position;
}

int Workspace::storeNewPage(PageKind kind, const QByteArray &record)
{
    return m_pages.newSlot(kind, appendRecord(kind, record));
}

void Workspace::removePage(PageKind kind, int position)
{
    m_pages.removePosition(kind, position);
    m_names[kindIndex(kind)].remove(position);
}

void Workspace::setPageName(PageKind kind, int position, const QByteArray &name)
{
    m_names[kindIndex(kind)][position] = name;
}

qint64 Workspace::recordOf(PageKind kind, int position) const
{
    return m_pages.offsetOfSlot(kind, m_pages.slotAt(kind, position));
}

void Workspace::pointAt(PageKind kind, int position, qint64 record, const QByteArray &name)
{
    m_pages.setOffsetAt(kind, position, record);
    setPageName(kind, position, name);
}

void Workspace::restorePage(PageKind kind, int position, int slot, const QByteArray &name)
{
    m_pages.insertSlot(kind, position, slot);
    m_names[kindIndex(kind)].insert(position, name);
}

bool Workspace::isLoadedFile(const QString &path) const
{
    return !m_loadedPath.isEmpty() && canonical(m_loadedPath) == canonical(path);
}

std::optional<QLatin1StringView> Workspace::ownFile(const QString &path) const
{
    const QString spelled = canonical(path);
    QList<QLatin1StringView> ownFiles = cleanUpFiles();
    // A table saved as the lock would be deleted when the program ends.
    ownFiles.append(WorkspaceFile::lock);
    for (QLatin1StringView name : std::as_const(ownFiles))
        if (spelled == canonical(filePath(name)))
            return name;
    return std::nullopt;
}

void Workspace::checkWriteTarget(const QString &target, Write what) const
{
    const std::optional<QLatin1StringView> own = ownFile(target);
    if (own && !(what == Write::Clipboard && *own == WorkspaceFile::clipboard))
        throw TableError(
            u"Cannot save to \"%1\": the program keeps its own work in that file."_s.arg(
                QDir::toNativeSeparators(target)));
    if (what != Write::Table && isLoadedFile(target))
        throw TableError(u"Cannot save to \"%1\": it is the loaded table file, from which the "
                         "program still reads its pages. Use Save table file to replace it."_s.arg(
                             QDir::toNativeSeparators(target)));
}

RecordSourceOf Workspace::recordSources() const
{
    return [this](PageKind kind, bool inWorkingFile) { return recordSource(kind, inWorkingFile); };
}

QList<QByteArray> Workspace::records() const
{
    return tableRecords(m_pages, recordSources());
}

QList<QByteArray> Workspace::records(PageKind kind) const
{
    return tableRecords(m_pages, recordSources(), kind);
}

Workspace::SaveResult Workspace::save(const QString &target, const SaveProgress &progress)
{
    if (m_pages.totalPageCount() == 0)
        throw TableError(kNothingToSaveMessage);
    checkWriteTarget(target, Write::Table);
    const bool overLoadedFile = isLoadedFile(target);
    writeTableFile(m_pages, recordSources(), target, progress);
    if (!overLoadedFile) {
        markSaved(QFileInfo(target).absoluteFilePath());
        return {};
    }
    try {
        return { true, load(m_loadedPath) };
    } catch (const TableError &error) {
        // The old offsets describe the file just replaced; only an empty table is safe.
        newTable();
        throw TableError(
            u"The table file was saved, but reading it back failed: %1"_s.arg(error.message()));
    }
}
