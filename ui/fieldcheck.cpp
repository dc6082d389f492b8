#include "fieldcheck.h"

#include "userdialogs.h"

#include <QFocusEvent>
#include <QLineEdit>

using namespace Qt::StringLiterals;

FieldCheck::FieldCheck(UserDialogs &dialogs, QWidget *window)
    : QObject(window)
    , m_dialogs(dialogs)
    , m_window(window)
{ }

void FieldCheck::add(QLineEdit *field, Check check)
{
    m_fields.insert(field, { std::move(check), {} });
    field->installEventFilter(this);
}

void FieldCheck::add(QLineEdit *field, NumberField type)
{
    add(field, [type](const QString &text) { return checkNumberField(text, type); });
}

void FieldCheck::setTake(QLineEdit *field, Take take)
{
    Q_ASSERT(m_fields.contains(field));
    m_fields[field].take = std::move(take);
}

bool FieldCheck::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::FocusOut || m_reporting)
        return false;
    // Switching to another window or opening a menu does not leave the field.
    const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return false;
    const auto checked = m_fields.constFind(watched);
    if (checked == m_fields.cend())
        return false;
    check(static_cast<QLineEdit *>(watched), *checked);
    return false;
}

bool FieldCheck::checkFocused()
{
    if (m_reporting)
        return false;
    QWidget *focused = m_window->focusWidget();
    const auto checked = m_fields.constFind(focused);
    return checked == m_fields.cend() || check(static_cast<QLineEdit *>(focused), *checked);
}

bool FieldCheck::check(QLineEdit *field, const Checked &checked)
{
    std::optional<QString> problem = checked.check(field->text());
    if (!problem && checked.take)
        problem = checked.take(field->text());
    if (!problem)
        return true;
    m_reporting = true;
    m_dialogs.message(m_window, u"Error"_s, *problem, UserDialogs::Icon::Critical);
    field->setFocus(Qt::OtherFocusReason);
    m_reporting = false;
    return false;
}
