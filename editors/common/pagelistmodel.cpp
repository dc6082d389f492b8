#include "pagelistmodel.h"

#include "workspace.h"

PageListModel::PageListModel(const Workspace &workspace, PageKind kind, QObject *parent)
    : QAbstractListModel(parent)
    , m_workspace(workspace)
    , m_kind(kind)
    , m_rows(pageCount())
{ }

int PageListModel::pageCount() const
{
    return int(m_workspace.pageNames(m_kind).size());
}

int PageListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

QVariant PageListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows ||
        index.row() >= pageCount())
        return {};
    return QString::fromLatin1(m_workspace.pageNames(m_kind).at(index.row()));
}

void PageListModel::reload()
{
    beginResetModel();
    m_rows = pageCount();
    endResetModel();
}

void PageListModel::rowChanged(int row)
{
    emit dataChanged(index(row), index(row), { Qt::DisplayRole });
}
