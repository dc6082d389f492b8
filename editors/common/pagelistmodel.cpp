#include "pagelistmodel.h"

#include "workspace.h"

PageListModel::PageListModel(const Workspace &workspace, PageKind kind, QObject *parent)
    : QAbstractListModel(parent)
    , m_workspace(workspace)
    , m_kind(kind)
{ }

int PageListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_workspace.pageNames(m_kind).size());
}

QVariant PageListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return {};
    return QString::fromLatin1(m_workspace.pageNames(m_kind).at(index.row()));
}

void PageListModel::reload()
{
    beginResetModel();
    endResetModel();
}

void PageListModel::rowChanged(int row)
{
    emit dataChanged(index(row), index(row), { Qt::DisplayRole });
}
