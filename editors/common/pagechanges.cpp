#include "pagechanges.h"

#include "pagelistmodel.h"
#include "pagetext.h"
#include "tableerror.h"

#include <QAbstractItemView>
#include <QAction>
#include <QMenu>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// "Apply "Laser"": what the context menu's Undo and Redo name.
QString changeText(const QString &verb, const QByteArray &name)
{
    return name.isEmpty() ? verb : u"%1 \"%2\""_s.arg(verb, textFromBytes(name));
}

} // namespace

PageHistory::PageHistory(QAbstractItemView &list)
    : QUndoStack(&list)
{
    // The stack's own actions would undo past the guard.
    const auto makeAction = [&](const QString &verb, void (QUndoStack::*canChanged)(bool),
                                void (QUndoStack::*textChanged)(const QString &),
                                void (PageHistory::*run)()) {
        auto *action = new QAction(verb, &list);
        action->setEnabled(false);
        connect(this, canChanged, action, &QAction::setEnabled);
        connect(this, textChanged, action, [action, verb](const QString &text) {
            action->setText(u"%1 %2"_s.arg(verb, text).trimmed());
        });
        connect(action, &QAction::triggered, this, run);
        return action;
    };
    QAction *undo = makeAction(u"Undo"_s, &QUndoStack::canUndoChanged, &QUndoStack::undoTextChanged,
                               &PageHistory::userUndo);
    undo->setShortcut(QKeyCombination(Qt::CTRL, Qt::Key_Z));
    QAction *redo = makeAction(u"Redo"_s, &QUndoStack::canRedoChanged, &QUndoStack::redoTextChanged,
                               &PageHistory::userRedo);
    redo->setShortcuts(
        { QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z), QKeyCombination(Qt::CTRL, Qt::Key_Y) });
    for (QAction *action : { undo, redo }) {
        action->setShortcutContext(Qt::WidgetShortcut);
        list.addAction(action);
    }
    list.setContextMenuPolicy(Qt::CustomContextMenu);
    auto *menu = new QMenu(&list);
    menu->addAction(undo);
    menu->addAction(redo);
    connect(&list, &QWidget::customContextMenuRequested, menu,
            [&list, menu](const QPoint &at) { menu->popup(list.viewport()->mapToGlobal(at)); });
}

void pushChange(QUndoStack &history, QUndoCommand *change)
{
    // QUndoStack makes the change before it takes it, so one that throws is nobody's.
    std::unique_ptr<QUndoCommand> owned(change);
    history.push(change);
    owned.release();
}

RecordChange::RecordChange(PageListModel &model, int row, Version after)
    : QUndoCommand(changeText(u"Apply"_s, after.name))
    , m_model(model)
    , m_row(row)
    , m_before { model.record(row), model.name(row).toByteArray() }
    , m_after(std::move(after))
{ }

void RecordChange::undo()
{
    m_model.pointAt(m_row, m_before.record, m_before.name);
}

void RecordChange::redo()
{
    m_model.pointAt(m_row, m_after.record, m_after.name);
}

PagesChange::PagesChange(const QString &text, QList<Page> pages, bool showFirst)
    : QUndoCommand(text)
    , m_pages(std::move(pages))
    , m_showFirst(showFirst)
{ }

PagesChange *PagesChange::rename(const QByteArray &oldName, const QByteArray &newName,
                                 QList<Page> pages)
{
    return new PagesChange(
        u"Rename \"%1\" to \"%2\""_s.arg(textFromBytes(oldName), textFromBytes(newName)),
        std::move(pages), true);
}

void PagesChange::point(bool forward)
{
    QList<PageListModel::Pointing> pointings;
    for (qsizetype i = 0; i < m_pages.size(); ++i) {
        const Page &page = m_pages[forward ? i : m_pages.size() - 1 - i];
        const RecordChange::Version &from = forward ? page.before : page.after;
        const RecordChange::Version &to = forward ? page.after : page.before;
        const int row = page.model->rowOf(page.slot);
        if (row < 0 || page.model->record(row) != from.record)
            continue;
        pointings.append(
            { page.model, row, to.record, to.name, m_showFirst && &page == &m_pages.front() });
    }
    PageListModel::pointAt(pointings);
}

void PagesChange::undo()
{
    point(false);
}

void PagesChange::redo()
{
    point(true);
}

ListChange::ListChange(PageListModel &model, const QString &verb, Direction direction, int row,
                       int slot, const QByteArray &name)
    : QUndoCommand(changeText(verb, name))
    , m_model(model)
    , m_direction(direction)
    , m_row(row)
    , m_slot(slot)
    , m_name(name)
{ }

void ListChange::putIn()
{
    m_model.insertPage(m_row, m_slot, m_name);
}

void ListChange::takeOut()
{
    // The name as the list shows it now: reading an added page names it.
    m_name = m_model.name(m_row).toByteArray();
    m_model.removePage(m_row);
}

void ListChange::undo()
{
    m_direction == In ? takeOut() : putIn();
}

void ListChange::redo()
{
    m_direction == In ? putIn() : takeOut();
}

void PageHistory::userUndo()
{
    if (canUndo() && (!m_guard || m_guard()))
        failSafe([this] { undo(); });
}

void PageHistory::userRedo()
{
    if (canRedo() && (!m_guard || m_guard()))
        failSafe([this] { redo(); });
}

void PageHistory::failSafe(const std::function<void()> &step)
{
    try {
        step();
    } catch (const TableError &error) {
        if (m_failure)
            m_failure(error.message());
    }
}
