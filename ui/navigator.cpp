#include "navigator.h"

#include "editorwindow.h"
#include "fieldcheck.h"
#include "hoverhelp.h"
#include "userdialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>

Navigator::Navigator(EditorWindow &window, const Look &look, QWidget *parent)
    : QWidget(parent ? parent : &window)
    , m_dialogs(window.dialogs())
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

void Navigator::setCountField(QLineEdit *field, bool emptyIsAnError)
{
    m_countField = field;
    m_emptyCountIsAnError = emptyIsAnError;
    connect(&m_check, &FieldCheck::passed, this, [this](QLineEdit *left) {
        if (left == m_countField)
            useCount(true);
    });
    showState();
}

Navigator::Count Navigator::takeCount()
{
    if (!m_countField)
        return Count::Kept;
    if (!m_check.checkInPlace(m_countField))
        return Count::Refused;
    return useCount(false);
}

Navigator::Count Navigator::useCount(bool left)
{
    const std::optional<qint32> count = NumberText::toInt(m_countField->text());
    if (!count) {
        // Empty passes the check but holds no number.
        if (m_emptyCountIsAnError)
            m_dialogs.error(window(), NumberText::invalidIntegerMessage(m_countField->text()));
        m_countField->setText(QString::number(m_bound));
        return Count::Kept;
    }
    // The same count typed again shows entry 1 when the field is left, as a new one does; a
    // button that takes it first moves from where it is.
    const bool retyped = left && m_countField->isModified();
    m_countField->setModified(false);
    if (*count == m_bound && !retyped)
        return Count::Kept;
    if (m_keep && !m_keep())
        return Count::Refused;
    setBound(*count);
    setIndex(1);
    if (m_show)
        m_show();
    return Count::Taken;
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
    // A new count shows entry 1: the user sees that first, rather than a step from there.
    if (takeCount() != Count::Kept || !m_check.checkFocused())
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
    if (m_countField)
        m_countField->setText(QString::number(m_bound));
    m_previous->setEnabled(m_index > 1);
    m_next->setEnabled(m_index < m_bound);
}
