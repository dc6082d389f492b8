#pragma once

#include "pagefields.h"

#include <QList>
#include <QWidget>

class FieldCheck;
class HoverHelp;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

// The controls of a page body, built from its field table: a caption label with its hint
// for every field, an edit field for texts and numbers, a check list for bit sets, a drop-down
// list for choices.
class FieldForm : public QWidget
{
    Q_OBJECT

public:
    // columnStarts: the field at which each column of the form begins; the first is 0.
    FieldForm(std::span<const FieldSpec> fields, std::span<const int> columnStarts, HoverHelp &help,
              FieldCheck &check, QWidget *parent = nullptr);

    void setValues(const FieldValues &values);
    // Bit sets come back as the checked items alone: bits without an item are dropped.
    FieldValues values() const;

    QLineEdit *edit(int field) const;
    QListWidget *checkList(int field) const;
    QComboBox *choice(int field) const;
    QLabel *caption(int field) const;

private:
    std::span<const FieldSpec> m_fields;
    QList<QLabel *> m_captions;
    QList<QWidget *> m_controls;
};
