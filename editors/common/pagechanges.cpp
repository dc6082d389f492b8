#include "pagechanges.h"

#include "workspace.h"

using namespace Qt::StringLiterals;

namespace {

// "Apply "Laser"": what the context menu's Undo and Redo name.
QString changeText(const QString &verb, const QByteArray &name)
{
    return name.isEmpty() ? verb : u"%1 \"%2\""_s.arg(verb, QString::fromLatin1(name));
}

} // namespace

PageEditor::RecordChange::RecordChange(PageEditor &editor, int position)
    : m_editor(editor)
    , m_position(position)
    , m_before(current())
{ }

PageEditor::RecordChange::Version PageEditor::RecordChange::current() const
{
    return { m_editor.m_workspace.recordOf(m_editor.kind(), m_position),
             m_editor.m_workspace.pageNames(m_editor.kind()).at(m_position) };
}

void PageEditor::RecordChange::undo()
{
    m_editor.pointPageAt(m_position, m_before.record, m_before.name);
}

void PageEditor::RecordChange::redo()
{
    if (std::exchange(m_made, false)) {
        m_after = current();
        setText(changeText(u"Apply"_s, m_after.name));
        return;
    }
    m_editor.pointPageAt(m_position, m_after.record, m_after.name);
}

PageEditor::ListChange::ListChange(PageEditor &editor, const QString &verb, Direction direction,
                                   int position)
    : m_editor(editor)
    , m_direction(direction)
    , m_position(position)
    , m_slot(editor.m_workspace.slotOf(editor.kind(), position))
    , m_name(editor.m_workspace.pageNames(editor.kind()).at(position))
{
    setText(changeText(verb, m_name));
}

void PageEditor::ListChange::putIn()
{
    m_editor.restorePageAt(m_position, m_slot, m_name);
}

void PageEditor::ListChange::takeOut()
{
    // The name as the list shows it now: reading an added page names it.
    m_name = m_editor.m_workspace.pageNames(m_editor.kind()).at(m_position);
    m_editor.removePageAt(m_position);
}

void PageEditor::ListChange::undo()
{
    m_direction == In ? takeOut() : putIn();
}

void PageEditor::ListChange::redo()
{
    if (std::exchange(m_made, false))
        return;
    m_direction == In ? putIn() : takeOut();
}
