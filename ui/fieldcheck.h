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
// error box and the focus back, the text left as typed. A field whose value is taken when it
// is left (the settings windows' working copies) also gets a take step after a passed check.
class FieldCheck : public QObject
{
    Q_OBJECT

public:
    FieldCheck(UserDialogs &dialogs, QWidget *window);

    // A field's own check: std::nullopt when the text is acceptable, otherwise the message.
    using Check = std::function<std::optional<QString>(const QString &text)>;
    void add(QLineEdit *field, Check check);
    void add(QLineEdit *field, NumberField type);

    // Takes the text of a field that passed its check. A message it returns is shown like a
    // failed check, with the focus back in the field.
    using Take = std::function<std::optional<QString>(const QString &text)>;
    void setTake(QLineEdit *field, Take take);

    // Checks the field that has the focus as leaving it would, for buttons that leave the focus
    // where it is: false after a failed check, and while a failure is being reported. Any other
    // focus passes.
    bool checkFocused();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Checked
    {
        Check check;
        Take take;
    };
    bool check(QLineEdit *field, const Checked &checked);

    UserDialogs &m_dialogs;
    QWidget *m_window;
    QHash<const QObject *, Checked> m_fields;
    bool m_reporting = false;
};
