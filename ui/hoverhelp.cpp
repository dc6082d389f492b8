#include "hoverhelp.h"

#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QWidget>

HoverHelp::HoverHelp(QPlainTextEdit *memo)
    : QObject(memo)
    , m_memo(memo)
{ }

void HoverHelp::addHint(QWidget *widget, const QString &hint)
{
    m_hints.insert(widget, hint);
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
}

void HoverHelp::addArea(QWidget *area)
{
    m_areas.insert(area);
    area->setMouseTracking(true);
    area->installEventFilter(this);
}

void HoverHelp::say(const QString &text)
{
    m_memo->setPlainText(text);
}

bool HoverHelp::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseMove)
        return false;
    if (const auto hint = m_hints.constFind(watched); hint != m_hints.cend()) {
        m_memo->setPlainText(*hint);
    } else if (m_areas.contains(watched)) {
        // Moves over an edit field or the list reach the area they lie in; those have no help.
        const auto *area = static_cast<QWidget *>(watched);
        const QWidget *under =
            area->childAt(static_cast<QMouseEvent *>(event)->position().toPoint());
        if (!under || m_areas.contains(under))
            m_memo->clear();
    }
    return false;
}
