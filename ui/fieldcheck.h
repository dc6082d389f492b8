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

    void add(QLineEdit *field, NumberField type);

    // Takes the text of a field that passed its check. A message it returns is shown like a
    // failed check, with the focus back in the field.
    using Take = std::function<std::optional<QString>(const QString &text)>;
    void setTake(QLineEdit *field, Take take);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    UserDialogs &m_dialogs;
    QWidget *m_window;
    struct Checked
    {
        NumberField type;
        Take take;
    };
    QHash<const QObject *, Checked> m_fields;
    bool m_reporting = false;
};
