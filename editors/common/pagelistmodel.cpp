#include "pagelistmodel.h"

#include "pagetext.h"
#include "workspace.h"

PageListModel::PageListModel(Workspace &workspace, PageKind kind, QObject *parent)
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
    return textFromBytes(name(index.row()));
}

const QByteArray &PageListModel::name(int row) const
{
    return m_workspace.pageNames(m_kind).at(row);
}

qint64 PageListModel::record(int row) const
{
    return m_workspace.recordOf(m_kind, row);
}

int PageListModel::slot(int row) const
{
    return m_workspace.slotOf(m_kind, row);
}

void PageListModel::reload()
{
    beginResetModel();
    m_rows = pageCount();
    endResetModel();
}

qint64 PageListModel::storeRecord(const QByteArray &record)
{
    return m_workspace.appendRecord(m_kind, record);
}

int PageListModel::storeNewPage(const QByteArray &record)
{
    return m_workspace.storeNewPage(m_kind, record);
}

void PageListModel::insertPage(int row, int slot, const QByteArray &name)
{
    beginInsertRows({}, row, row);
    m_workspace.restorePage(m_kind, row, slot, name);
    ++m_rows;
    endInsertRows();
}

void PageListModel::removePage(int row)
{
    beginRemoveRows({}, row, row);
    m_workspace.removePage(m_kind, row);
    --m_rows;
    endRemoveRows();
}

void PageListModel::pointAt(int row, qint64 record, const QByteArray &name)
{
    const bool renamed = name != this->name(row);
    m_workspace.pointAt(m_kind, row, record, name);
    if (renamed)
        emit dataChanged(index(row), index(row), { Qt::DisplayRole });
    emit recordChanged(row);
}

void PageListModel::rename(int row, const QByteArray &name)
{
    if (name == this->name(row))
        return;
    m_workspace.setPageName(m_kind, row, name);
    emit dataChanged(index(row), index(row), { Qt::DisplayRole });
}
