#pragma once

#include "pageeditor.h"

#include <QUndoCommand>

// The changes of an editor's history. Each is made by the editor before it is recorded, so a
// change that fails is never recorded; the first redo, which QUndoStack runs on push, is the
// change already made.
class PageEditor::RecordChange : public QUndoCommand
{
public:
    // Apply: taken before the page at position gets its new record, pushed once it has it.
    RecordChange(PageEditor &editor, int position);

    void undo() override;
    void redo() override;

private:
    struct Version
    {
        qint64 record;
        QByteArray name;
    };
    Version current() const;

    PageEditor &m_editor;
    int m_position;
    Version m_before;
    Version m_after {};
    bool m_made = true;
};

class PageEditor::ListChange : public QUndoCommand
{
public:
    // Add, Paste and Import put a page in the list, Delete takes one out.
    enum Direction { In, Out };
    ListChange(PageEditor &editor, const QString &verb, Direction direction, int position);

    void undo() override;
    void redo() override;

private:
    void putIn();
    void takeOut();

    PageEditor &m_editor;
    Direction m_direction;
    int m_position;
    int m_slot;
    QByteArray m_name;
    bool m_made = true;
};
