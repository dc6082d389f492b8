#pragma once

#include "numbertext.h"

#include <QHash>
#include <QObject>

class QLineEdit;
class QWidget;
class UserDialogs;

// Checks a number field when the focus leaves it: a text that does not convert gets the
// error box and the focus back, the text left as typed.
class FieldCheck : public QObject
{
public:
    FieldCheck(UserDialogs &dialogs, QWidget *window);

    void add(QLineEdit *field, NumberField type);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    UserDialogs &m_dialogs;
    QWidget *m_window;
    QHash<const QObject *, NumberField> m_fields;
    bool m_reporting = false;
};
