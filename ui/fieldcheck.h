#pragma once

#include "numbertext.h"

#include <QHash>
#include <QObject>

#include <functional>
#include <optional>

class QLineEdit;
class QWidget;
class UserDialogs;

// Checks a number field when the focus leaves it: a text that does not convert gets the
// error box and the focus back, the text left as typed. A field that passes is announced, so
// that a window can take its value at once.
class FieldCheck : public QObject
{
    Q_OBJECT

public:
    FieldCheck(UserDialogs &dialogs, QWidget *window);

    // A field's own check: std::nullopt when the text is acceptable, otherwise the message.
    using Check = std::function<std::optional<QString>(const QString &text)>;
    void add(QLineEdit *field, Check check);
    void add(QLineEdit *field, NumberField type);

    // Checks the field that has the focus as leaving it would, for buttons that leave the focus
    // where it is: false after a failed check, and while a failure is being reported. Any other
    // focus passes.
    bool checkFocused();
    // Checks a field where it is, for a step that takes its value itself: false as checkFocused
    // gives it. A pass is not announced.
    bool checkInPlace(QLineEdit *field);

signals:
    // The field was left, or checked for a button, and its text passed.
    void passed(QLineEdit *field);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool check(QLineEdit *field, const Check &check);

    UserDialogs &m_dialogs;
    QWidget *m_window;
    QHash<const QObject *, Check> m_fields;
    bool m_reporting = false;
};
