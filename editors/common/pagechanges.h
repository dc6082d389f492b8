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
    // Undo and Redo as the user asks for them: after the guard.
    void userUndo();
    void userRedo();

private:
    std::function<bool()> m_guard;
};

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

// Rename all: a page renamed and every page that named it by its old name, as one change of
// the history of the editor where it was made. Pages are found by slot, wherever their lists
// have them by then; a page another editor changed since keeps that change.
class RenameChange : public QUndoCommand
{
public:
    struct Page
    {
        PageListModel *model;
        int slot;
        RecordChange::Version before;
        RecordChange::Version after;
    };
    // The first page is the one renamed, which its editor shows.
    RenameChange(const QByteArray &oldName, const QByteArray &newName, QList<Page> pages);

    void undo() override;
    void redo() override;

private:
    void point(bool forward);

    QList<Page> m_pages;
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
