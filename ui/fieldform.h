#pragma once

#include "layout.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QWidget>

class FieldCheck;
class HoverHelp;
class QAction;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QToolButton;
class ReferenceField;
class ReferenceTargets;

// The controls of the fields of a layout, built from its items: a caption label with its hint
// for every field, an edit field for texts and numbers, a check list for bit sets, a drop-down
// list for choices. Hidden values and blocks have no control.
class FieldForm : public QWidget
{
    Q_OBJECT

public:
    // The fields of items first to end (the layout's end when -1). columnStarts: the items at
    // which the form's columns begin.
    FieldForm(const Layout &layout, std::span<const int> columnStarts, HoverHelp &help,
              FieldCheck &check, QWidget *parent = nullptr, int first = 0, int end = -1);

    // Shows the values of the form's fields.
    void show(const Values &values);
    // Empties every control, for when no page is shown.
    void clear();
    // Gives the fields that name pages what the table knows of its pages: completion from
    // their names, a button that lists them, a mark on a name that names none, going to the
    // page named. With nullptr they are plain texts.
    void setReferences(ReferenceTargets *targets);
    // Ends the typing history of every edit field: what was typed is now the page's.
    void endTyping();
    // Stores what the controls hold into the values they show, changing only what the user
    // changed: a text still as shown keeps its whole bytes, a number its value as read, a mask
    // the bits that have no item, a drop-down with no selection the code it was shown with.
    void keep(Values &values) const;

    // Forms laid out one above the other, so that their fields line up: one caption width.
    static void alignCaptions(const QList<FieldForm *> &forms);

    // The controls of an item, by its position in the layout; nullptr when it has none of that
    // sort.
    QLineEdit *edit(int item) const;
    QListWidget *checkList(int item) const;
    // A choice whose items depend on another: the drop-down shown.
    QComboBox *choice(int item) const;
    QLabel *caption(int item) const;
    // What a field's mark says (a text longer than the game's lists show, a number shown
    // rounded); empty when the field has none.
    QString note(int item) const;
    // What is wrong with an edit field's text, marked beside it and said by screen readers: a
    // name that names no page of its kinds, or what setProblem said; empty when nothing is.
    QString problem(int item) const;
    // Marks an edit field that names no page with a problem its window finds (another page
    // has the same name); empty takes the mark away.
    void setProblem(int item, const QString &problem);
    // The button beside a field that names pages, which lists them; nullptr for other fields.
    QToolButton *pickButton(int item) const;
    // The stored value beside a list that cannot show it.
    QLabel *stored(int item) const;

    // Rows this far apart, for a form with so many fields that the usual spacing would not fit
    // a small screen.
    void setRowSpacing(int spacing);
    // Check lists as wide as their items, rather than as wide as Qt makes any list: for windows
    // that must fit a small screen.
    void narrowLists();

signals:
    // A control changed other than by showing values: the user typed, checked or picked, or a
    // window set it.
    void edited();

private:
    struct Shown
    {
        QString text; // as shown
        QString exact; // the value as read, when the text stands for another
    };
    QWidget *control(int item) const;
    QWidget *alternatives(int item, const FieldSpec &field, QLabel *caption, QHBoxLayout *place);
    QHBoxLayout *withStoredValue(int item, QWidget *control);
    QHBoxLayout *withPickButton(int item, QWidget *control);
    void showStored(int item, quint32 value);
    void updateMark(int item);
    void showMark(int item, const QString &note, const QString &problem);
    void changed();

    const Layout &m_layout;
    HoverHelp &m_help;
    int m_first;
    int m_end;
    QList<QLabel *> m_captions; // by item - first
    QList<QWidget *> m_controls;
    QHash<int, QList<QComboBox *>> m_alternatives; // a choice's drop-downs by item
    QHash<int, Shown> m_shown; // edit fields, by item
    struct Mark
    {
        QString note; // what the field shows differently from what is stored
        QString problem;
        QAction *sign = nullptr;
    };
    QHash<int, Mark> m_marks; // edit fields with one, by item
    QHash<int, QToolButton *> m_pickButtons; // fields that name pages, by item
    QHash<int, ReferenceField *> m_references; // ... while there are targets
    QPointer<ReferenceTargets> m_targets;
    QHash<int, QLabel *> m_stored;
    bool m_showing = false;
};
