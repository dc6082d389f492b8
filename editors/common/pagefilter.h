#pragma once

#include "namematch.h"

#include <QSortFilterProxyModel>

// A page list as the filter field shows it: the pages whose name contains the filter text,
// ignoring case as the user's language does, and those kept shown whatever their name: one
// just put in the list or renamed, and the page being edited.
class PageFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit PageFilterModel(QObject *parent = nullptr);

    void setSourceModel(QAbstractItemModel *source) override;

    const QString &text() const { return m_text; }
    // Shows the matching pages and those at the kept rows (of the source), and no others.
    void setText(const QString &text, const QList<int> &kept = {});
    // Shows the page at a source row until the filter text changes.
    void keep(int sourceRow);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    bool matches(int sourceRow) const;
    // Adds a kept row; false when it was kept already.
    bool remember(int sourceRow);

    QString m_text;
    NameMatch m_match;
    QList<int> m_kept; // ascending source rows
};
