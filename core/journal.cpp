#include "journal.h"

#include "savefile.h"
#include "tableerror.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QtEndian>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr char kMagic[8] = { 'V', 'K', 'C', 'P', 'J', 'R', 'N', 'L' };
constexpr int kFileHeaderSize = 12; // magic, version
constexpr int kEntryHeaderSize = 8; // length, CRC-32 of what follows
constexpr qint64 kHashedBlock = 64 * 1024;

quint32 crc32(QByteArrayView data)
{
    static const auto table = [] {
        std::array<quint32, 256> t {};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    quint32 crc = 0xFFFFFFFFu;
    for (char byte : data)
        crc = table[(crc ^ quint8(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

TableError writeError(const QString &path, const QString &reason)
{
    return TableError(
        u"Cannot write the session journal \"%1\", so the change was not made: %2"_s.arg(
            shown(path), reason));
}

TableError damaged(const QString &path, const QString &what)
{
    return TableError(u"The session journal \"%1\" is damaged (%2), so the last session's changes "
                      "cannot be restored."_s.arg(shown(path), what));
}

void setUpStream(QDataStream &stream)
{
    stream.setVersion(QDataStream::Qt_6_4);
    stream.setByteOrder(QDataStream::LittleEndian);
}

void writeState(QDataStream &out, const TableState &state)
{
    out << state.loadedPath << state.loaded.size << state.loaded.modified << state.loaded.hash;
    for (PageKind kind : kTableOrder) {
        const PageDirectory::KindTable &t = state.pages.kindTable(kind);
        out << qint32(t.count) << qint32(t.lastSlot)
            << t.slotMap.first(qMin(t.count, t.slotMap.size())) << t.offsets;
        if (isEdited(kind))
            out << state.names[kindIndex(kind)];
    }
}

// A state whose tables contradict each other is as damaged as one that cannot be read.
bool readState(QDataStream &in, TableState &state)
{
    in >> state.loadedPath >> state.loaded.size >> state.loaded.modified >> state.loaded.hash;
    for (PageKind kind : kTableOrder) {
        PageDirectory::KindTable t;
        qint32 count = 0;
        qint32 lastSlot = 0;
        in >> count >> lastSlot >> t.slotMap >> t.offsets;
        t.count = count;
        t.lastSlot = lastSlot;
        if (in.status() != QDataStream::Ok || count < 0 || lastSlot < 0)
            return false;
        if (isEdited(kind)) {
            NameList &names = state.names[kindIndex(kind)];
            in >> names;
            if (t.slotMap.size() != count || names.size() != count || t.offsets.size() < lastSlot)
                return false;
            for (int slot : std::as_const(t.slotMap))
                if (slot < 1 || slot > lastSlot)
                    return false;
        } else if (t.offsets.size() < count) {
            return false;
        }
        state.pages.setKindTable(kind, std::move(t));
    }
    return in.status() == QDataStream::Ok;
}

QByteArray entry(const QByteArray &payload)
{
    QByteArray bytes(kEntryHeaderSize, Qt::Uninitialized);
    qToLittleEndian(quint32(payload.size()), bytes.data());
    qToLittleEndian(crc32(payload), bytes.data() + 4);
    return bytes + payload;
}

QByteArray encode(const QList<DirectoryChange> &changes)
{
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    setUpStream(out);
    out << qint32(changes.size());
    for (const DirectoryChange &c : changes)
        out << quint8(c.type) << quint8(c.kind) << qint32(c.position) << qint32(c.slot) << c.record
            << c.name << c.path;
    return payload;
}

std::optional<QList<DirectoryChange>> decode(const QByteArray &payload)
{
    QDataStream in(payload);
    setUpStream(in);
    qint32 count = 0;
    in >> count;
    if (count < 0 || count > payload.size())
        return std::nullopt;
    QList<DirectoryChange> changes(count);
    for (DirectoryChange &c : changes) {
        quint8 type = 0;
        quint8 kind = 0;
        qint32 position = 0;
        qint32 slot = 0;
        in >> type >> kind >> position >> slot >> c.record >> c.name >> c.path;
        const std::optional<PageKind> accepted = acceptedKind(kind);
        if (type < quint8(DirectoryChange::Type::Point) ||
            type > quint8(DirectoryChange::Type::Saved) || !accepted)
            return std::nullopt;
        c.type = DirectoryChange::Type(type);
        c.kind = *accepted;
        c.position = position;
        c.slot = slot;
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return std::nullopt;
    return changes;
}

// Makes the file's data durable, then the directory entry that names it.
bool syncDirectory(const QString &path)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

bool listed(const PageDirectory &pages, PageKind kind, int slot)
{
    const PageDirectory::KindTable &t = pages.kindTable(kind);
    return t.slotMap.first(t.count).contains(slot);
}

} // namespace

void checkChange(const PageDirectory &pages, const DirectoryChange &change)
{
    if (change.type == DirectoryChange::Type::Saved)
        return;
    const PageKind kind = change.kind;
    const int count = pages.pageCount(kind);
    const bool fits = [&] {
        if (!isEdited(kind))
            return false;
        switch (change.type) {
        case DirectoryChange::Type::NewSlot:
            return change.record < 0 && change.slot == pages.lastSlot(kind) + 1;
        case DirectoryChange::Type::Insert:
            return change.position >= 0 && change.position <= count && change.slot >= 1 &&
                change.slot <= pages.lastSlot(kind) && !listed(pages, kind, change.slot);
        case DirectoryChange::Type::Point:
        case DirectoryChange::Type::Remove:
        case DirectoryChange::Type::Rename:
            return change.position >= 0 && change.position < count &&
                pages.slotAt(kind, change.position) == change.slot;
        case DirectoryChange::Type::Saved:
            break;
        }
        return true;
    }();
    if (!fits)
        throw TableError(u"a change to the %1 page at position %2 does not fit the table"_s
                             .arg(kindInfo(kind).name)
                             .arg(change.position));
}

namespace {

// The hash of a file's first and last kHashedBlock bytes, which read(offset) gives.
template<typename Read>
QByteArray hashOfEnds(qint64 size, Read read)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(read(0));
    if (size > kHashedBlock)
        hash.addData(read(qMax(kHashedBlock, size - kHashedBlock)));
    return hash.result();
}

} // namespace

Fingerprint Fingerprint::of(const QString &path)
{
    Fingerprint print;
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return print;
    print.size = file.size();
    print.modified = QFileInfo(file).lastModified().toMSecsSinceEpoch();
    print.hash = hashOfEnds(print.size, [&file](qint64 offset) {
        file.seek(offset);
        return file.read(kHashedBlock);
    });
    return print;
}

Fingerprint Fingerprint::of(QByteArrayView bytes, qint64 modified)
{
    Fingerprint print;
    print.size = bytes.size();
    print.modified = modified;
    print.hash = hashOfEnds(print.size, [bytes](qint64 offset) {
        return bytes.sliced(offset).first(qMin(kHashedBlock, bytes.size() - offset));
    });
    return print;
}

void applyChange(PageDirectory &pages, PageNames &names, const DirectoryChange &change)
{
    checkChange(pages, change);
    NameList *kindNames = isEdited(change.kind) ? &names[kindIndex(change.kind)] : nullptr;
    switch (change.type) {
    case DirectoryChange::Type::Point:
        pages.setOffsetAt(change.kind, change.position, change.record);
        kindNames->replace(change.position, change.name);
        break;
    case DirectoryChange::Type::NewSlot:
        pages.newSlot(change.kind, change.record);
        break;
    case DirectoryChange::Type::Insert:
        pages.insertSlot(change.kind, change.position, change.slot);
        kindNames->insert(change.position, change.name);
        break;
    case DirectoryChange::Type::Remove:
        pages.removePosition(change.kind, change.position);
        kindNames->remove(change.position);
        break;
    case DirectoryChange::Type::Rename:
        kindNames->replace(change.position, change.name);
        break;
    case DirectoryChange::Type::Saved:
        break;
    }
}

ChangeCount countChanges(const TableState &from, const TableState &to)
{
    ChangeCount count;
    for (PageKind kind : kEditedKinds) {
        const auto pagesOf = [kind](const TableState &state) {
            QHash<int, std::pair<qint64, QByteArray>> pages;
            const NameList &names = state.names[kindIndex(kind)];
            for (int p = 0; p < state.pages.pageCount(kind); ++p) {
                const int slot = state.pages.slotAt(kind, p);
                pages.insert(slot,
                             { state.pages.offsetOfSlot(kind, slot), names[p].toByteArray() });
            }
            return pages;
        };
        QHash<int, std::pair<qint64, QByteArray>> before = pagesOf(from);
        int changed = 0;
        for (const auto &[slot, page] : pagesOf(to).asKeyValueRange()) {
            const auto was = before.constFind(slot);
            if (was == before.cend() || *was != page)
                ++changed;
            before.remove(slot);
        }
        changed += int(before.size());
        count.pages += changed;
        count.kinds += changed > 0;
    }
    return count;
}

Journal::Journal(QString path)
    : m_path(std::move(path))
{ }

void Journal::start(const TableState &base, const TableState &reference)
{
    QByteArray header;
    {
        QDataStream out(&header, QIODevice::WriteOnly);
        setUpStream(out);
        const bool same = &base == &reference;
        writeState(out, base);
        out << same;
        if (!same)
            writeState(out, reference);
    }
    QByteArray bytes(kMagic, sizeof kMagic);
    bytes.resize(kFileHeaderSize);
    qToLittleEndian(kJournalVersion, bytes.data() + sizeof kMagic);
    bytes += entry(header);

    // Replaced whole, so that a crash leaves the old journal or the new one, never a mix.
    QSaveFile file(m_path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || !writeFully(file, bytes) || !file.flush() ||
        ::fdatasync(file.handle()) != 0) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw writeError(m_path, reason);
    }
    if (!file.commit() || !syncDirectory(m_path))
        throw writeError(m_path, file.errorString());
    m_end = bytes.size();
}

void Journal::append(const QList<DirectoryChange> &changes, bool sync)
{
    Q_ASSERT(m_end >= kFileHeaderSize);
    // Not created anew if it has gone: a journal without its start would be no journal.
    QFile file(m_path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered))
        throw writeError(m_path, file.errorString());
    const QByteArray bytes = entry(encode(changes));
    // Written at the end of the last whole entry: what a failed append left is overwritten, or
    // read as a torn end and ignored.
    if (!file.seek(m_end) || !writeFully(file, bytes) ||
        (sync && ::fdatasync(file.handle()) != 0)) {
        const QString reason =
            file.error() != QFileDevice::NoError ? file.errorString() : qt_error_string(errno);
        file.resize(m_end);
        throw writeError(m_path, reason);
    }
    m_end += bytes.size();
}

std::optional<LastSession> lastSession(const QString &directory)
{
    const QString path = QDir(directory).filePath(WorkspaceFile::journal);
    QFile file(path);
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly))
        throw TableError(
            u"Cannot read the session journal \"%1\": %2"_s.arg(shown(path), file.errorString()));
    const QByteArray bytes = file.readAll();
    if (bytes.size() < kFileHeaderSize ||
        QByteArrayView(bytes).first(sizeof kMagic) != QByteArrayView(kMagic, sizeof kMagic))
        throw damaged(path, u"it is no journal of this program"_s);
    const quint32 version = qFromLittleEndian<quint32>(bytes.constData() + sizeof kMagic);
    if (version != kJournalVersion)
        throw TableError(
            u"The session journal \"%1\" was written by another version of VK Control Panel "
            "(journal version %2; this one reads version %3), so the last session's changes "
            "cannot be restored."_s.arg(shown(path))
                .arg(version)
                .arg(kJournalVersion));

    // The next whole entry's payload, or nullopt where the file ends or an entry is torn.
    qint64 at = kFileHeaderSize;
    const auto nextEntry = [&]() -> std::optional<QByteArray> {
        if (bytes.size() - at < kEntryHeaderSize)
            return std::nullopt;
        const quint32 length = qFromLittleEndian<quint32>(bytes.constData() + at);
        if (length > bytes.size() - at - kEntryHeaderSize)
            return std::nullopt;
        QByteArray payload = bytes.mid(at + kEntryHeaderSize, length);
        if (crc32(payload) != qFromLittleEndian<quint32>(bytes.constData() + at + 4))
            return std::nullopt;
        at += kEntryHeaderSize + length;
        return payload;
    };

    LastSession session;
    session.journalPath = path;
    {
        const std::optional<QByteArray> header = nextEntry();
        if (!header)
            throw damaged(path, u"its start is cut short or altered"_s);
        QDataStream in(*header);
        setUpStream(in);
        bool same = true;
        if (!readState(in, session.state) || (in >> same, in.status() != QDataStream::Ok) ||
            (!same && !readState(in, session.reference)))
            throw damaged(path, u"its start cannot be read"_s);
        if (same)
            session.reference = session.state;
    }
    for (PageKind kind : kTableOrder)
        for (qint64 offset : session.state.pages.kindTable(kind).offsets)
            session.tablePages[kindIndex(kind)] += offset >= 0;

    while (const std::optional<QByteArray> payload = nextEntry()) {
        const std::optional<QList<DirectoryChange>> changes = decode(*payload);
        if (!changes)
            throw damaged(path, u"change %1 cannot be read"_s.arg(session.entries + 1));
        try {
            TableState &state = session.state;
            if (changes->size() == 1) {
                applyChange(state.pages, state.names, changes->front());
            } else {
                // A change of several pages is made whole or not at all.
                PageDirectory pages = state.pages;
                PageNames names = state.names;
                for (const DirectoryChange &change : *changes)
                    applyChange(pages, names, change);
                state.pages = std::move(pages);
                state.names = std::move(names);
            }
            if (changes->size() == 1 && changes->front().type == DirectoryChange::Type::Saved) {
                session.reference = state;
                // The file it went to names the table from then on, as the session showed it.
                session.reference.loadedPath = changes->front().path;
            }
        } catch (const TableError &error) {
            throw damaged(path, u"change %1: %2"_s.arg(session.entries + 1).arg(error.message()));
        }
        ++session.entries;
    }
    session.end = at;
    session.tornEnd = at < bytes.size();
    session.tablePath = session.state.loadedPath;
    session.unsaved = countChanges(session.reference, session.state);

    bool readsTable = session.state.pages.pageCount(PageKind::PassThrough) > 0;
    for (PageKind kind : kEditedKinds)
        for (int p = 0; p < session.state.pages.pageCount(kind) && !readsTable; ++p)
            readsTable = session.state.pages.resolve(kind, p).inWorkingFile == false;
    if (readsTable) {
        const Fingerprint now = Fingerprint::of(session.tablePath);
        session.table = now.size < 0      ? LastSession::Table::Missing
            : now == session.state.loaded ? LastSession::Table::Unchanged
                                          : LastSession::Table::Changed;
    }
    return session;
}
