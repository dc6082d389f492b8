#include "windowshortcuts.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

WindowShortcuts::WindowShortcuts(QWidget &window)
    : QObject(&window)
    , m_window(window)
{
    // Application-wide, since a field claims its keys before the window's filters see them.
    QCoreApplication::instance()->installEventFilter(this);
}

void WindowShortcuts::add(const QString &text, const QKeySequence &keys,
                          std::function<void()> command)
{
    auto *action = new QAction(text, &m_window);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, std::move(command));
    m_window.addAction(action);
    if (keys.count() == 1)
        m_keys.append(keys[0]);
}

bool WindowShortcuts::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    const auto *widget = qobject_cast<const QWidget *>(watched);
    if (!widget || widget->window() != &m_window)
        return false;
    if (!m_keys.contains(static_cast<QKeyEvent *>(event)->keyCombination()))
        return false;
    event->ignore();
    return true;
}
