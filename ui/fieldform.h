#pragma once

#include "layout.h"

#include <QHash>
#include <QList>
#include <QWidget>

class FieldCheck;
class HoverHelp;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;

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

private:
    QWidget *control(int item) const;
    QWidget *alternatives(int item, const FieldSpec &field, QLabel *caption, QHBoxLayout *place);

    const Layout &m_layout;
    int m_first;
    int m_end;
    QList<QLabel *> m_captions; // by item - first
    QList<QWidget *> m_controls;
    QHash<int, QList<QComboBox *>> m_alternatives; // a choice's drop-downs by item
};
