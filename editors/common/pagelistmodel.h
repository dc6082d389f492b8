#pragma once

#include "pagekinds.h"

#include <QAbstractListModel>

class Workspace;

// A kind's page list as the workspace holds it: row p is the page at list position p. The
// editor announces each change it makes through the workspace. The model counts its rows
// itself, so that a page the workspace has just added is not a row until it is announced.
class PageListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    PageListModel(const Workspace &workspace, PageKind kind, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    void reload();
    // change adds a page at row of the workspace's list. It may fail (a working file that
    // cannot be written): the row is announced only once the page is there.
    template<typename Change> void insertRow(int row, Change &&change)
    {
        change();
        beginInsertRows({}, row, row);
        ++m_rows;
        endInsertRows();
    }
    template<typename Change> void appendRow(Change &&change)
    {
        insertRow(m_rows, std::forward<Change>(change));
    }
    // change removes the page at row from the workspace's list; it cannot fail.
    template<typename Change> void removeRow(int row, Change &&change)
    {
        beginRemoveRows({}, row, row);
        change();
        --m_rows;
        endRemoveRows();
    }
    void rowChanged(int row);

private:
    int pageCount() const;

    const Workspace &m_workspace;
    PageKind m_kind;
    int m_rows;
};
