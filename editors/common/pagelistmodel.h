#pragma once

#include "pagekinds.h"

#include <QAbstractListModel>

class Workspace;

// A kind's page list as the workspace holds it: row p is the page at list position p. The
// editor announces each change it makes through the workspace.
class PageListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    PageListModel(const Workspace &workspace, PageKind kind, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    void reload();
    template<typename Change> void appendRow(Change &&change)
    {
        beginInsertRows({}, rowCount(), rowCount());
        change();
        endInsertRows();
    }
    template<typename Change> void removeRow(int row, Change &&change)
    {
        beginRemoveRows({}, row, row);
        change();
        endRemoveRows();
    }
    void rowChanged(int row);

private:
    const Workspace &m_workspace;
    PageKind m_kind;
};
