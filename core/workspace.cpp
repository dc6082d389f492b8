#include "workspace.h"

#include "recordfile.h"
#include "savefile.h"
#include "tableerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QtEndian>

#include <unistd.h>

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
        WorkspaceFile::kept,
        WorkspaceFile::journal,
    };
}

void Workspace::cleanUp()
{
    // A file that is missing or cannot be deleted is passed over.
    for (QLatin1StringView name : cleanUpFiles())
        QFile::remove(filePath(name));
    m_workingFileEnds = {};
}

const NameList &Workspace::pageNames(PageKind kind) const
{
    Q_ASSERT(isEdited(kind));
    return m_names[kindIndex(kind)];
}

Workspace::TableRead Workspace::readTable(const QString &path)
{
    // Taken before the walk, so a change during it is noticed too.
    const QFileInfo stamp(path);
    TableRead read { stamp.absoluteFilePath(), stamp.size(), stamp.lastModified(), {},
                     LoadTableFile(path) };
    // The walk's mapping holds the bytes the print hashes; reading them again cost a fifth of
    // the walk.
    const std::shared_ptr<const MappedFile> &mapped = read.table.records.mapping();
    read.print = mapped && mapped->bytes().size() == read.size
        ? Fingerprint::of(mapped->bytes(), read.modified.toMSecsSinceEpoch())
        : Fingerprint::of(path);
    return read;
}

bool Workspace::load(const QString &path, const std::function<TableRead()> &readFile)
{
    // Edits would be appended to the very file the pages are read from.
    if (ownFile(path))
        throw TableError(u"Cannot load \"%1\": the program keeps its own work in that file."_s.arg(
            QDir::toNativeSeparators(path)));
    TableRead read = readFile ? readFile() : readTable(path);
    LoadedTable &table = read.table;
    if (m_journal) {
        const TableState loaded { table.directory, table.names, read.path, read.print };
        startJournal(loaded, loaded);
    }
    m_loadedFingerprint = read.print;
    m_pages = std::move(table.directory);
    m_names = std::move(table.names);
    m_loadedPath = read.path;
    m_loadedSize = read.size;
    m_loadedModified = read.modified;
    m_cutOffRecord = table.cutOffRecord;
    m_loadedRecords = std::move(table.records);
    markSaved(m_loadedPath);
    return table.versionMismatch;
}

void Workspace::newTable()
{
    if (m_journal) {
        TableState empty = state();
        empty.pages.forgetAll();
        empty.names = {};
        startJournal(empty, empty);
    }
    m_pages.forgetAll();
    for (NameList &names : m_names)
        names.clear();
    m_loadedRecords = {};
    markSaved(QString());
}

void Workspace::markSaved(const QString &path)
{
    m_saved = state();
    m_saved.loadedPath = path;
}

int Workspace::unsavedPageCount() const
{
    return countChanges(m_saved, state()).pages;
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
        return { m_loadedPath, u"table file"_s, &m_loadedRecords };
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
    // Durable before the journal entry that points at it.
    if (!writeFully(file, record) || (m_journal && ::fdatasync(file.handle()) != 0)) {
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
    const qint64 offset = appendRecord(kind, record);
    pointAt(kind, position, offset, name);
}

int Workspace::addPage(PageKind kind, const QByteArray &record, const QByteArray &name)
{
    const int position = m_pages.pageCount(kind);
    restorePage(kind, position, storeNewPage(kind, record), name);
    return position;
}

int Workspace::storeNewPage(PageKind kind, const QByteArray &record)
{
    const qint64 offset = appendRecord(kind, record);
    const int slot = m_pages.lastSlot(kind) + 1;
    // Durable with the Insert that lists it; until then a slot nobody lists is harmless.
    change({ { DirectoryChange::Type::NewSlot, kind, 0, slot, offset, {}, {} } }, false);
    return slot;
}

void Workspace::removePage(PageKind kind, int position)
{
    change(
        { { DirectoryChange::Type::Remove, kind, position, slotOf(kind, position), 0, {}, {} } });
}

void Workspace::setPageName(PageKind kind, int position, const QByteArray &name)
{
    change(
        { { DirectoryChange::Type::Rename, kind, position, slotOf(kind, position), 0, name, {} } });
}

qint64 Workspace::recordOf(PageKind kind, int position) const
{
    return m_pages.offsetOfSlot(kind, m_pages.slotAt(kind, position));
}

void Workspace::pointAt(PageKind kind, int position, qint64 record, const QByteArray &name)
{
    pointAt({ { kind, position, record, name } });
}

void Workspace::pointAt(const QList<Pointing> &pointings)
{
    QList<DirectoryChange> changes;
    for (const Pointing &p : pointings)
        changes.append({ DirectoryChange::Type::Point,
                         p.kind,
                         p.position,
                         slotOf(p.kind, p.position),
                         p.record,
                         p.name,
                         {} });
    change(changes);
}

void Workspace::restorePage(PageKind kind, int position, int slot, const QByteArray &name)
{
    change({ { DirectoryChange::Type::Insert, kind, position, slot, 0, name, {} } });
}

void Workspace::change(const QList<DirectoryChange> &changes, bool sync)
{
    // Checked before it is journaled: a journal entry that does not fit would spoil the replay.
    for (const DirectoryChange &c : changes)
        checkChange(m_pages, c);
    if (m_journal)
        m_journal->append(changes, sync);
    for (const DirectoryChange &c : changes)
        applyChange(m_pages, m_names, c);
}

TableState Workspace::state() const
{
    return { m_pages, m_names, m_loadedPath, m_loadedFingerprint };
}

void Workspace::startJournal()
{
    const TableState now = state();
    startJournal(now, now);
}

void Workspace::startJournal(const TableState &base, const TableState &reference)
{
    Journal journal(filePath(WorkspaceFile::journal));
    journal.start(base, reference);
    m_journal = std::move(journal);
}

void Workspace::restore(const LastSession &session, const QString &tablePath)
{
    TableState next = session.state;
    TableState reference = session.reference;
    const auto shown = [](const QString &path) { return QDir::toNativeSeparators(path); };
    if (tablePath.isEmpty()) {
        if (session.table != LastSession::Table::NotUsed &&
            Fingerprint::of(session.tablePath) != session.state.loaded)
            throw TableError(
                QFileInfo::exists(session.tablePath)
                    ? u"The table file \"%1\" has changed since the last session, so its changes "
                      "cannot be put back onto it."_s.arg(shown(session.tablePath))
                    : u"The table file \"%1\" of the last session is gone."_s.arg(
                          shown(session.tablePath)));
    } else {
        // The pages of the other table take the places of the journal's table pages, slot for
        // slot: its pages must be as many, kind by kind.
        const Fingerprint print = Fingerprint::of(tablePath);
        const LoadedTable other = LoadTableFile(tablePath);
        for (PageKind kind : kTableOrder)
            if (other.directory.pageCount(kind) != session.tablePages[kindIndex(kind)])
                throw TableError(
                    u"The changes of the last session cannot be put onto \"%1\": it holds %2 "
                    "%3 pages where \"%4\" held %5."_s.arg(shown(tablePath))
                        .arg(other.directory.pageCount(kind))
                        .arg(kindInfo(kind).name, QFileInfo(session.tablePath).fileName())
                        .arg(session.tablePages[kindIndex(kind)]));
        for (TableState *state : { &next, &reference }) {
            for (PageKind kind : kTableOrder) {
                PageDirectory::KindTable t = state->pages.kindTable(kind);
                for (qsizetype s = 0; s < t.offsets.size(); ++s)
                    if (t.offsets[s] >= 0)
                        t.offsets[s] = other.directory.offsetOfSlot(kind, int(s + 1));
                state->pages.setKindTable(kind, std::move(t));
                if (!isEdited(kind))
                    continue;
                QHash<int, QByteArray> namesOfSlots;
                for (int p = 0; p < other.directory.pageCount(kind); ++p)
                    namesOfSlots.insert(other.directory.slotAt(kind, p),
                                        other.names[kindIndex(kind)][p].toByteArray());
                for (int p = 0; p < state->pages.pageCount(kind); ++p)
                    if (!state->pages.resolve(kind, p).inWorkingFile)
                        state->names[kindIndex(kind)].replace(
                            p, namesOfSlots.value(state->pages.slotAt(kind, p)));
            }
            state->loadedPath = QFileInfo(tablePath).absoluteFilePath();
            state->loaded = print;
        }
    }

    // Every record a page points at must be whole in its working file.
    std::array<qint64, kEditedKinds.size()> ends {};
    for (PageKind kind : kEditedKinds) {
        QFile file(workingFilePath(kind));
        const bool opened = file.open(QIODevice::ReadOnly);
        ends[kindIndex(kind)] = opened ? file.size() : 0;
        for (int p = 0; p < next.pages.pageCount(kind); ++p) {
            const PageDirectory::Location at = next.pages.resolve(kind, p);
            if (!at.inWorkingFile)
                continue;
            QByteArray header;
            if (opened && file.seek(at.position))
                header = file.read(RecordHeader::kindSize + RecordHeader::lengthSize);
            if (header.size() < RecordHeader::kindSize + RecordHeader::lengthSize ||
                quint8(header[0]) != quint8(kind) ||
                at.position + RecordHeader::kindSize +
                        qFromLittleEndian<quint32>(header.constData() + 1) >
                    file.size())
                throw TableError(
                    u"The working file \"%1\" is missing or shorter than the last session left "
                    "it, so the %2 pages changed in that session cannot be restored. Nothing has "
                    "been deleted."_s.arg(shown(workingFilePath(kind)), kindInfo(kind).name));
        }
    }

    startJournal(next, reference);
    m_saved = std::move(reference);
    m_pages = std::move(next.pages);
    m_names = std::move(next.names);
    m_loadedPath = next.loadedPath;
    m_loadedFingerprint = next.loaded;
    m_loadedSize = next.loaded.size;
    m_loadedModified = QDateTime::fromMSecsSinceEpoch(next.loaded.modified);
    m_cutOffRecord = -1;
    m_loadedRecords = {};
    m_workingFileEnds = ends;
}

bool Workspace::isLoadedFile(const QString &path) const
{
    return !m_loadedPath.isEmpty() && canonical(m_loadedPath) == canonical(path);
}

std::optional<QLatin1StringView> Workspace::ownFile(const QString &path) const
{
    const QString spelled = canonical(path);
    // The directory's spelling is found once: finding it for each file that does not exist
    // walked the path a dozen times over, at every load and save.
    const QFileInfo directoryInfo(m_directory);
    const QString directory = directoryInfo.isDir() ? directoryInfo.canonicalFilePath() : QString();
    QList<QLatin1StringView> ownFiles = cleanUpFiles();
    // A table saved as the lock would be deleted when the program ends.
    ownFiles.append(WorkspaceFile::lock);
    for (QLatin1StringView name : std::as_const(ownFiles)) {
        const QString file = filePath(name);
        // A file that exists may be a link, which only its own spelling follows.
        const QString own = directory.isEmpty() || QFileInfo::exists(file)
            ? canonical(file)
            : directory + u'/' + name;
        if (spelled == own)
            return name;
    }
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
        // Only what counts as unsaved depends on it: the save stands if it cannot be written.
        if (m_journal) {
            try {
                m_journal->append({ { DirectoryChange::Type::Saved,
                                      PageKind::Texture,
                                      0,
                                      0,
                                      0,
                                      {},
                                      QFileInfo(target).absoluteFilePath() } });
            } catch (const TableError &) { }
        }
        return {};
    }
    try {
        return { true, load(m_loadedPath) };
    } catch (const TableError &error) {
        // The old offsets describe the file just replaced; only an empty table is safe. The
        // journal, if it cannot follow, still names that file, whose change a restore notices.
        try {
            newTable();
        } catch (const TableError &) {
            m_journal.reset();
            newTable();
        }
        throw TableError(
            u"The table file was saved, but reading it back failed: %1"_s.arg(error.message()));
    }
}
