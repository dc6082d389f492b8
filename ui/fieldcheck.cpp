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

void FieldCheck::add(QLineEdit *field, NumberField type)
{
    m_fields.insert(field, { type, {} });
    field->installEventFilter(this);
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
    auto *field = static_cast<QLineEdit *>(watched);
    std::optional<QString> problem = checkNumberField(field->text(), checked->type);
    if (!problem && checked->take)
        problem = checked->take(field->text());
    if (problem) {
        m_reporting = true;
        m_dialogs.message(m_window, u"Error"_s, *problem, UserDialogs::Icon::Critical);
        field->setFocus(Qt::OtherFocusReason);
        m_reporting = false;
    }
    return false;
}
