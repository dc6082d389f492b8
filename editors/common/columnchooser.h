#pragma once

#include "pagecolumns.h"

#include <QDialog>

class QLineEdit;
class QTreeWidget;

// Which columns a kind's table shows: every column its pages can have, by the way to it
// through the windows and by key, each checked to show it.
class ColumnChooser : public QDialog
{
    Q_OBJECT

public:
    ColumnChooser(const QList<PageColumns::Column> &columns, const QStringList &shown,
                  QWidget *parent);

    // The keys checked, in the columns' order.
    QStringList chosen() const;

    QLineEdit &filterField() const { return *m_filter; }
    QTreeWidget &list() const { return *m_list; }

private:
    void filter(const QString &text);
    // Checks the columns listed now (all, when nothing is filtered) that `which` says.
    void check(const std::function<bool(int column)> &which);

    QList<PageColumns::Column> m_columns;
    QLineEdit *m_filter;
    QTreeWidget *m_list;
};
