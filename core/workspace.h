#pragma once

#include "journal.h"
#include "loader.h"
#include "pagedirectory.h"
#include "writer.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

#include <array>
#include <functional>
#include <optional>

// The workspace: the table being edited (its page directory, the page names of each
// editor's list, the path of the loaded table file) and the files it keeps in its
// directory: the working files, the page clipboard and the files cleaned at start.
// Edits never touch the loaded table file; every new version of a page is appended to
// its kind's working file.
inline constexpr QLatin1StringView kNothingToSaveMessage("Nothing to save!");

class Workspace
{
public:
    // directory is where the workspace files live; it ends with a '/'.
    explicit Workspace(QString directory);

    // The directory of the program's own executable, with its trailing '/'.
    static QString programDirectory();

    const QString &directory() const { return m_directory; }
    QString filePath(QLatin1StringView fileName) const;
    QString workingFilePath(PageKind kind) const;

    // The files left by an earlier run, deleted at start in this order; the session journal
    // last, so that lastSession can be asked before.
    static QList<QLatin1StringView> cleanUpFiles();
    void cleanUp();

    // From now on every change of the directory is journaled to "session.$$$" before it is
    // made, and the working files' records are made durable first; this replaces any journal
    // there, starting from the table as it stands. Off until called (the command-line tool
    // never journals); a session that keeps an earlier journal for later does not call it.
    void startJournal();
    bool journaling() const { return m_journal.has_value(); }
    // The last session's table, as its journal says it was after its last acknowledged change.
    // Onto its own table file (tablePath empty), which must be as the journal found it; or,
    // when the user chose one (the same file changed since, or another), onto tablePath,
    // loaded as Load does, which must hold as many pages of each kind as that table did: its
    // pages take the places of that table's, in their order in the file. Every record in a working
    // file must be there. Throws TableError and changes nothing otherwise. When journaling, the
    // journal goes on from the restored table, and its changes still count as unsaved.
    void restore(const LastSession &session, const QString &tablePath = {});

    const PageDirectory &pages() const { return m_pages; }
    const NameList &pageNames(PageKind kind) const;
    const QString &loadedPath() const { return m_loadedPath; }

    // What a load reads of a table file before the workspace takes it in; readable on any
    // thread, so that a start can read the table it was given while it makes its windows.
    struct TableRead
    {
        QString path; // absolute
        qint64 size = 0;
        QDateTime modified;
        Fingerprint print;
        LoadedTable table;
    };
    // Throws TableError as the load would.
    static TableRead readTable(const QString &path);

    // Replaces the table with the file's. On failure (TableError) nothing changes.
    // Returns whether pages of another version were skipped. A read given is the file read
    // already, elsewhere; it throws what readTable throws, and is not called for a file the
    // workspace keeps its own work in.
    bool load(const QString &path, const std::function<TableRead()> &read = {});
    // The file the table was last loaded from or saved to; empty after New and before a load.
    const QString &savedPath() const { return m_saved.loadedPath; }
    // How many pages differ from the table as last loaded, saved or begun with New: added,
    // deleted, renamed or pointed at another record. A page undone back counts as unchanged.
    // One look-up per page.
    int unsavedPageCount() const;

    // Where the last load found the file ending inside a page it left out, or -1; see
    // cutOffRecordMessage.
    qint64 cutOffRecord() const { return m_cutOffRecord; }
    // Empties every kind; slots, working files and the loaded path stay.
    void newTable();

    // Load, New table file, a save over the loaded file and every change below throw
    // TableError, and change nothing, when journaling and the journal cannot be written.

    // The file that holds a kind's records in the loaded table file or in the working file,
    // and how messages name it. A loaded table file that has changed since the load throws
    // TableError: the directory's offsets no longer describe it.
    RecordSource recordSource(PageKind kind, bool inWorkingFile) const;

    // The current record of a page, kind byte first.
    QByteArray readPage(PageKind kind, int position) const;
    // Appends a whole record to the kind's working file in one write; returns NOT q, q being
    // where the record starts. On failure the working file keeps its former length. A working
    // file that another program deleted or cut short is first filled with zeros up to where
    // this workspace had written, so offsets into what was lost never name a newer record.
    qint64 appendRecord(PageKind kind, const QByteArray &record);
    // Apply: the record becomes the page's current version.
    void applyPage(PageKind kind, int position, const QByteArray &record, const QByteArray &name);
    // Add, Paste, Import: a new page at the end of the list; returns its position.
    int addPage(PageKind kind, const QByteArray &record, const QByteArray &name);
    // The same in two steps: the record written with a slot of its own, which restorePage then
    // lists. Returns the slot.
    int storeNewPage(PageKind kind, const QByteArray &record);
    void removePage(PageKind kind, int position);
    void setPageName(PageKind kind, int position, const QByteArray &name);

    // Undo and redo. Where a page's current record lies, as the directory keeps it: every
    // earlier record stays where it was written, so a page can point back at it.
    qint64 recordOf(PageKind kind, int position) const;
    void pointAt(PageKind kind, int position, qint64 record, const QByteArray &name);
    int slotOf(PageKind kind, int position) const { return m_pages.slotAt(kind, position); }
    // A removed page, back at position with its slot.
    void restorePage(PageKind kind, int position, int slot, const QByteArray &name);

    // Several pages pointed at other records at once (Rename all, a bulk edit, their undo),
    // journaled as one change that stands or falls whole.
    struct Pointing
    {
        PageKind kind;
        int position;
        qint64 record;
        QByteArray name;
    };
    void pointAt(const QList<Pointing> &pointings);

    // Whether path names the loaded table file, by whatever spelling.
    bool isLoadedFile(const QString &path) const;

    // What the program writes to a file: a table file, an exported page, the page clipboard.
    enum class Write { Table, Page, Clipboard };
    // Throws TableError, naming target, when writing it would destroy a file the program
    // relies on: a working file, the page clipboard, the files cleaned at start, the lock, the
    // loaded table file. A table may replace the loaded table file, which is then loaded again.
    void checkWriteTarget(const QString &target, Write what) const;
    // The name of the workspace file that path is, under any spelling.
    std::optional<QLatin1StringView> ownFile(const QString &path) const;

    struct SaveResult
    {
        bool reloaded = false; // the target was the loaded table file
        bool versionMismatch = false; // of the reload
    };
    // Writes the table to target. A save over the loaded table file loads the saved file
    // again, since the directory's offsets described the file it replaced.
    SaveResult save(const QString &target, const SaveProgress &progress = {});
    // The records save would write now, in its order, edits included. Throws TableError as
    // save does when a record cannot be read.
    QList<QByteArray> records() const;
    // The current records of one kind's pages, in list order.
    QList<QByteArray> records(PageKind kind) const;

private:
    RecordSourceOf recordSources() const;
    // The table as it is now becomes the one unsavedPageCount compares with.
    void markSaved(const QString &path);
    TableState state() const;
    // Journals changes, then makes them.
    void change(const QList<DirectoryChange> &changes, bool sync = true);
    void startJournal(const TableState &base, const TableState &reference);
    void setLoaded(const QString &path, const Fingerprint &print);

    QString m_directory;
    PageDirectory m_pages;
    PageNames m_names;
    QString m_loadedPath;
    // The loaded table file's size and time of change when it was loaded.
    qint64 m_loadedSize = -1;
    QDateTime m_loadedModified;
    Fingerprint m_loadedFingerprint;
    qint64 m_cutOffRecord = -1;
    // The loaded table file's page records as its load found them; empty after a restore,
    // whose records are read where they lie.
    RecordMap m_loadedRecords;
    // The table as last loaded, saved or begun with New, with the file it was loaded from or
    // saved to: what counts as unsaved is what differs from it.
    TableState m_saved;
    // How far this workspace has written each working file.
    std::array<qint64, kEditedKinds.size()> m_workingFileEnds {};
    std::optional<Journal> m_journal;
};
