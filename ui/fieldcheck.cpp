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
    m_fields.insert(field, std::move(check));
    field->installEventFilter(this);
}

void FieldCheck::add(QLineEdit *field, NumberField type)
{
    add(field, [type](const QString &text) { return checkNumberField(text, type); });
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
    auto *field = static_cast<QLineEdit *>(watched);
    if (check(field, *checked))
        emit passed(field);
    return false;
}

bool FieldCheck::checkFocused()
{
    if (m_reporting)
        return false;
    QWidget *focused = m_window->focusWidget();
    const auto checked = m_fields.constFind(focused);
    if (checked == m_fields.cend())
        return true;
    auto *field = static_cast<QLineEdit *>(focused);
    if (!check(field, *checked))
        return false;
    emit passed(field);
    return true;
}

bool FieldCheck::checkInPlace(QLineEdit *field)
{
    if (m_reporting)
        return false;
    const auto checked = m_fields.constFind(field);
    return checked == m_fields.cend() || check(field, *checked);
}

bool FieldCheck::check(QLineEdit *field, const Check &check)
{
    const std::optional<QString> problem = check(field->text());
    if (!problem)
        return true;
    m_reporting = true;
    m_dialogs.message(m_window, u"Error"_s, *problem, UserDialogs::Icon::Critical);
    field->setFocus(Qt::OtherFocusReason);
    m_reporting = false;
    return false;
}
