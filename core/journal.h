#pragma once

#include "namelist.h"
#include "pagedirectory.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <array>
#include <optional>

// The session journal, "session.$$$" in the workspace: the table as it stood when the journal
// was started, then one entry per acknowledged change of the page directory, each with its
// length and CRC-32 and made durable before the change is reported done. After a crash it
// rebuilds the directory as it was after the last acknowledged change; the records it points at
// are in the working files, which are made durable before it.

using PageNames = std::array<NameList, kEditedKinds.size()>; // indexed by kindIndex

inline constexpr quint32 kJournalVersion = 1;

// What tells a table file's contents apart without reading it all: its size, time of change
// and a hash of its first and last 64 KiB. size is -1 for a file that does not exist.
struct Fingerprint
{
    qint64 size = -1;
    qint64 modified = 0; // ms since the epoch
    QByteArray hash;

    static Fingerprint of(const QString &path);
    // The same of a file's bytes held already, bytes being all of them.
    static Fingerprint of(QByteArrayView bytes, qint64 modified);
    friend bool operator==(const Fingerprint &, const Fingerprint &) = default;
};

// One change of the page directory as the journal keeps it. Positions and slots are both
// kept, so that a replay checks that each change fits the table it is made on.
struct DirectoryChange
{
    enum class Type : quint8 {
        Point = 1, // the page at position (of slot) has its current record at record
        NewSlot, // a new slot for a record in the working file, listed by a later Insert
        Insert, // slot listed at position, named name
        Remove, // the page at position leaves the list; its slot keeps its record
        Rename, // the page at position is called name
        Saved, // the table was saved to path (another file than the loaded one)
    };
    Type type = Type::Point;
    PageKind kind = PageKind::Texture;
    int position = 0;
    int slot = 0;
    qint64 record = 0;
    QByteArray name;
    QString path;
};

// A table as the workspace holds it: directory, page names and the file it was loaded from.
struct TableState
{
    PageDirectory pages;
    PageNames names;
    QString loadedPath;
    Fingerprint loaded;
};

// Throws TableError when change does not fit pages.
void checkChange(const PageDirectory &pages, const DirectoryChange &change);
// Makes change on pages and names. A change that does not fit them (a position past the list,
// a slot that is not the page's) throws TableError and changes nothing.
void applyChange(PageDirectory &pages, PageNames &names, const DirectoryChange &change);

// How many pages and kinds differ between two states of a table: pages added, removed, or
// pointing at another record or name.
struct ChangeCount
{
    int pages = 0;
    int kinds = 0;
};
ChangeCount countChanges(const TableState &from, const TableState &to);

class Journal
{
public:
    explicit Journal(QString path);

    // Replaces the file with a journal that starts from base; unsaved changes are counted
    // against reference. Durable on return. Throws TableError; the old file is then kept.
    void start(const TableState &base, const TableState &reference);
    // Goes on appending to an existing journal after its last whole entry, which ends at end.
    void resume(qint64 end) { m_end = end; }
    // One entry holding changes, which stand or fall together. When sync it is durable on
    // return. Throws TableError; the journal then ends where it did.
    void append(const QList<DirectoryChange> &changes, bool sync = true);

    const QString &path() const { return m_path; }

private:
    QString m_path;
    qint64 m_end = -1;
};

// The journal a session left: the table it names and what its changes made of it.
struct LastSession
{
    enum class Table {
        Unchanged, // the table file is as the journal found it
        Changed,
        Missing,
        NotUsed, // no page is read from a table file (New table file)
    };
    QString journalPath;
    QString tablePath; // the table file the session had loaded; empty if none
    Table table = Table::NotUsed;
    ChangeCount unsaved; // since the last load, New or save
    int entries = 0; // the changes read
    bool tornEnd = false; // an entry cut short at the end was left out
    qint64 end = 0; // where the last whole entry ends
    TableState state; // after the last acknowledged change
    TableState reference; // as last loaded or saved
    // Pages of each kind (table order) whose records lay in the table file at the start.
    std::array<int, kTableOrder.size()> tablePages {};

    bool hasUnsavedChanges() const { return unsaved.pages > 0; }
};

// The journal left in directory, read without changing anything; nullopt when there is none.
// A journal of another version, or one whose start is damaged, throws TableError saying so.
std::optional<LastSession> lastSession(const QString &directory);
