#pragma once

#include <QUndoCommand>
#include <QUndoStack>

#include <functional>

class PageListModel;
class QAbstractItemView;

// An editor's history of the changes to its page list. Undo and Redo are the list's own keys
// and context menu: in an edit field the same keys undo typing.
class PageHistory : public QUndoStack
{
    Q_OBJECT

public:
    explicit PageHistory(QAbstractItemView &list);

    // Asked before the user's undo or redo goes on: false stops it.
    void setGuard(std::function<bool()> guard) { m_guard = std::move(guard); }
    // Told why an undo or redo could not be made (its change could not be journaled); the
    // pages and the history then stay as they were.
    void setFailure(std::function<void(const QString &)> failure)
    {
        m_failure = std::move(failure);
    }
    // Undo and Redo as the user asks for them: after the guard.
    void userUndo();
    void userRedo();

private:
    void failSafe(const std::function<void()> &step);

    std::function<bool()> m_guard;
    std::function<void(const QString &)> m_failure;
};

// Makes the change and puts it in the history. A change that fails (its journal entry cannot be
// written) is not kept, and its TableError goes on to the caller.
void pushChange(QUndoStack &history, QUndoCommand *change);

// The changes of an editor's history. Each makes its change to the page list in redo() and
// takes it back in undo(); the editor writes the record a change needs before it makes the
// change, so that a write that fails leaves nothing to record.

// Apply: the page points at its new record, undone back at the one before.
class RecordChange : public QUndoCommand
{
public:
    struct Version
    {
        qint64 record;
        QByteArray name;
    };
    // The page at row as it is now, then after.
    RecordChange(PageListModel &model, int row, Version after);

    void undo() override;
    void redo() override;

private:
    PageListModel &m_model;
    int m_row;
    Version m_before;
    Version m_after;
};

// Pages rewritten together as one change of an editor's history: Rename all (a page and every
// page naming it), an edit of many cells of a kind's table. Pages are found by slot, wherever
// their lists have them by then; a page another editor changed since keeps that change.
class PagesChange : public QUndoCommand
{
public:
    struct Page
    {
        PageListModel *model;
        int slot;
        RecordChange::Version before;
        RecordChange::Version after;
    };
    // showFirst: the first page is the one its editor shows, as the page renamed is.
    PagesChange(const QString &text, QList<Page> pages, bool showFirst);
    // "Rename "Laser fire" to "Laser shot"", the page renamed first.
    static PagesChange *rename(const QByteArray &oldName, const QByteArray &newName,
                               QList<Page> pages);

    void undo() override;
    void redo() override;

private:
    void point(bool forward);

    QList<Page> m_pages;
    bool m_showFirst;
};

// Add, Paste and Import put a page in the list, Delete takes one out.
class ListChange : public QUndoCommand
{
public:
    enum Direction { In, Out };
    // The page's slot and name: for In, those of a page stored outside the list; for Out, those
    // of the page at row.
    ListChange(PageListModel &model, const QString &verb, Direction direction, int row, int slot,
               const QByteArray &name);

    void undo() override;
    void redo() override;

private:
    void putIn();
    void takeOut();

    PageListModel &m_model;
    Direction m_direction;
    int m_row;
    int m_slot;
    QByteArray m_name;
};
