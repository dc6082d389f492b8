#pragma once

#include "pagefields.h"

#include <QObject>

class HoverHelp;
class QCompleter;
class QLineEdit;
class QToolButton;
class ReferenceTargets;

// What a text field that names pages does beside holding text: it offers the names of the
// pages of its kinds as the user types, all of them on Alt+Down, F4 or its pick button, tells
// when its name names none of them, and opens the named page on Ctrl+Enter or Ctrl+click.
class ReferenceField : public QObject
{
    Q_OBJECT

public:
    // help: where a name that names no page is said when asked to go to it.
    ReferenceField(QLineEdit &field, QToolButton &pickButton, KindSet kinds,
                   ReferenceTargets &targets, HoverHelp &help);

    // "No sound page is named "x"" when no page of the kinds has the field's name; empty when
    // one has, or the field is empty.
    QString problem() const;
    // The whole list, below the field.
    void listAll();
    // Opens the page the field names; shows the problem instead when it names none.
    void goTo();

    QCompleter &completer() const { return *m_completer; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Choices;
    void typed(const QString &text);
    void popUp();
    void pick(const QString &name);

    QLineEdit &m_field;
    KindSet m_kinds;
    ReferenceTargets &m_targets;
    HoverHelp &m_help;
    Choices *m_choices;
    QCompleter *m_completer;
    bool m_picking = false;
};
