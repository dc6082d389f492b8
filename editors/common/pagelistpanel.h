#pragma once

#include <QFrame>

class HoverHelp;
class PageFilterModel;
class PageListModel;
class QAbstractButton;
class QHBoxLayout;
class QLineEdit;
class QListView;
class QWidget;

// The field that filters a list of pages by name; Escape in it clears it.
QLineEdit *makeFilterField(HoverHelp &help, QWidget *parent);

// An editor's page list as the user sees it: its caption, the filter field, the pages whose
// names match and the editor's buttons under them. It follows the kind's model; rows are the
// model's, whatever the filter shows.
class PageListPanel : public QFrame
{
    Q_OBJECT

public:
    PageListPanel(const QString &caption, PageListModel &model, HoverHelp &help, QWidget *parent);

    QLineEdit &filterField() const { return *m_filterField; }
    QListView &list() const { return *m_list; }
    void addButton(QAbstractButton *button);

    // -1 when no page is selected.
    int selectedRow() const;
    // Selects the page at row, listed whatever its name until the filter text changes.
    void select(int row);

signals:
    // Another page, or none, is selected by the user or the code; not while a row goes, when
    // the view moves the selection to a neighbour and then leaves nothing selected.
    void selectionChanged();

private:
    void filter(const QString &text);

    PageFilterModel *m_filter;
    QLineEdit *m_filterField;
    QListView *m_list;
    QHBoxLayout *m_buttons;
    bool m_removing = false;
};
