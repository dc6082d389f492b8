#include "navigator.h"

#include "editorwindow.h"
#include "fieldcheck.h"
#include "hoverhelp.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>

Navigator::Navigator(EditorWindow &window, const Look &look, QWidget *parent)
    : QWidget(parent ? parent : &window)
    , m_check(window.check())
    , m_format(look.counter)
    , m_bound(look.largestBound)
{
    m_previous = makeButton(window, look.previous, Qt::LeftArrow);
    m_next = makeButton(window, look.next, Qt::RightArrow);
    m_counter = new QLabel(this);
    m_counter->setAlignment(Qt::AlignCenter);
    const QString largest = QString::number(look.largestBound);
    const QString widest = m_format.arg(largest, largest);
    m_counter->setMinimumWidth(m_counter->fontMetrics().horizontalAdvance(widest));
    window.help().addArea(this);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_previous);
    row->addWidget(m_counter);
    row->addWidget(m_next);

    connect(m_previous, &QAbstractButton::clicked, this, &Navigator::previous);
    connect(m_next, &QAbstractButton::clicked, this, &Navigator::next);
    showState();
}

QAbstractButton *Navigator::makeButton(EditorWindow &window, const Button &look,
                                       Qt::ArrowType arrow)
{
    QAbstractButton *button;
    if (look.text.isEmpty()) {
        auto *tool = new QToolButton(this);
        tool->setArrowType(arrow);
        button = tool;
    } else {
        button = new QPushButton(look.text, this);
    }
    if (!look.accessibleName.isEmpty())
        button->setAccessibleName(look.accessibleName);
    window.prepareButton(button, look.hint);
    return button;
}

void Navigator::addInner(Navigator *inner)
{
    m_inner.append(inner);
}

void Navigator::setBound(int bound)
{
    m_bound = std::max(bound, 0);
    if (m_index > std::max(m_bound, 1))
        setIndex(m_bound);
    else
        showState();
}

void Navigator::setIndex(int index)
{
    index = std::clamp(index, 1, std::max(m_bound, 1));
    if (index != m_index) {
        m_index = index;
        for (Navigator *inner : std::as_const(m_inner))
            inner->reset();
    }
    showState();
}

void Navigator::reset()
{
    m_index = 1;
    for (Navigator *inner : std::as_const(m_inner))
        inner->reset();
    showState();
}

bool Navigator::canStep(int by) const
{
    const int to = m_index + by;
    return to >= 1 && to <= m_bound;
}

bool Navigator::step(int by)
{
    if (!canStep(by))
        return false;
    const int index = m_index;
    if (!m_check.checkFocused())
        return false;
    // Taking the checked field moved this level (a new count shows entry 1, a lower one cuts
    // the index): the user sees that first, rather than a step from wherever it went.
    if (m_index != index || !canStep(by))
        return false;
    if (m_keep && !m_keep())
        return false;
    setIndex(m_index + by);
    if (m_show)
        m_show();
    return true;
}

void Navigator::showState()
{
    m_counter->setText(m_format.arg(QString::number(m_index), QString::number(m_bound)));
    m_previous->setEnabled(m_index > 1);
    m_next->setEnabled(m_index < m_bound);
}
