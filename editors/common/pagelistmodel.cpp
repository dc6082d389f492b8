#include "pagelistmodel.h"

#include "pagetext.h"
#include "workspace.h"

#include <QApplication>
#include <QFont>
#include <QScopedValueRollback>
#include <QStyle>

#include <utility>

using namespace Qt::StringLiterals;

PageListModel::PageListModel(Workspace &workspace, PageKind kind, QObject *parent)
    : QAbstractListModel(parent)
    , m_workspace(workspace)
    , m_kind(kind)
    , m_rows(pageCount())
{
    for (QByteArrayView name : m_workspace.pageNames(m_kind))
        ++m_named[name.toByteArray()];
}

void PageListModel::count(const QByteArray &name, int by)
{
    int &named = m_named[name];
    const bool wasShared = named > 1;
    named += by;
    if (named <= 0)
        m_named.remove(name);
    // The other pages of the name gain or lose their mark.
    if (wasShared != (named > 1))
        for (int row = 0; row < m_rows && row < pageCount(); ++row)
            if (this->name(row) == name)
                emit dataChanged(index(row), index(row),
                                 { Qt::DecorationRole, Qt::AccessibleDescriptionRole });
}

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
    if (!index.isValid() || index.row() >= m_rows || index.row() >= pageCount())
        return {};
    const bool changed = index.row() == m_changed;
    const bool shared = pagesNamed(name(index.row())) > 1;
    switch (role) {
    case Qt::DisplayRole:
        return textFromBytes(name(index.row()));
    case Qt::DecorationRole:
        return shared ? QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning)
                      : QVariant();
    case Qt::FontRole:
        if (changed) {
            QFont italic;
            italic.setItalic(true);
            return italic;
        }
        return {};
    case Qt::AccessibleDescriptionRole: {
        QStringList said;
        if (changed)
            said.append(u"changed, not applied"_s);
        if (shared)
            said.append(u"another page has this name"_s);
        return said.isEmpty() ? QVariant() : said.join(u"; "_s);
    }
    case Qt::ToolTipRole:
        return shared ? u"Another %1 page is named \"%2\"."_s.arg(kindInfo(m_kind).name,
                                                                  textFromBytes(name(index.row())))
                      : QVariant();
    default:
        return {};
    }
}

void PageListModel::setChanged(int row)
{
    if (row == m_changed)
        return;
    const int before = std::exchange(m_changed, row);
    for (const int changed : { before, row })
        if (changed >= 0 && changed < m_rows)
            emit dataChanged(index(changed), index(changed), { Qt::FontRole });
}

QByteArrayView PageListModel::name(int row) const
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

int PageListModel::rowOf(int slot) const
{
    for (int row = 0; row < m_rows; ++row)
        if (this->slot(row) == slot)
            return row;
    return -1;
}

void PageListModel::reload()
{
    beginResetModel();
    m_rows = pageCount();
    m_changed = -1;
    m_named.clear();
    for (QByteArrayView name : m_workspace.pageNames(m_kind))
        ++m_named[name.toByteArray()];
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
    count(name, 1);
}

void PageListModel::removePage(int row)
{
    const QByteArray removed = name(row).toByteArray();
    beginRemoveRows({}, row, row);
    m_workspace.removePage(m_kind, row);
    --m_rows;
    endRemoveRows();
    count(removed, -1);
}

void PageListModel::pointAt(int row, qint64 record, const QByteArray &name, bool shown)
{
    pointAt({ { this, row, record, name, shown } });
}

void PageListModel::pointAt(const QList<Pointing> &pointings)
{
    if (pointings.isEmpty())
        return;
    QList<Workspace::Pointing> pages;
    QList<QByteArray> before;
    for (const Pointing &p : pointings) {
        pages.append({ p.model->m_kind, p.row, p.record, p.name });
        before.append(p.model->name(p.row).toByteArray());
    }
    pointings.front().model->m_workspace.pointAt(pages);
    for (qsizetype i = 0; i < pointings.size(); ++i)
        pointings[i].model->pointed(pointings[i].row, before[i], pointings[i].shown);
}

void PageListModel::pointed(int row, const QByteArray &before, bool shown)
{
    const QByteArray name = this->name(row).toByteArray();
    if (name != before) {
        count(before, -1);
        count(name, 1);
        emit dataChanged(index(row), index(row), { Qt::DisplayRole });
    }
    const QScopedValueRollback showing(m_shown, shown);
    emit recordChanged(row);
}

void PageListModel::rename(int row, const QByteArray &name)
{
    const QByteArray before = this->name(row).toByteArray();
    if (name == before)
        return;
    m_workspace.setPageName(m_kind, row, name);
    count(before, -1);
    count(name, 1);
    emit dataChanged(index(row), index(row), { Qt::DisplayRole });
}
