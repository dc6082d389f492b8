#include "pagefilter.h"

PageFilterModel::PageFilterModel(QObject *parent)
    : QSortFilterProxyModel(parent)
{ }

void PageFilterModel::setSourceModel(QAbstractItemModel *source)
{
    if (sourceModel())
        disconnect(sourceModel(), nullptr, this, nullptr);
    // Kept rows move with their pages. Shifted before the rows change, so that the new rows
    // are filtered against the right ones. A page put in the list or renamed is kept: the user
    // sees what was just done to it.
    connect(source, &QAbstractItemModel::rowsAboutToBeInserted, this,
            [this](const QModelIndex &, int first, int last) {
                for (int &row : m_kept)
                    if (row >= first)
                        row += last - first + 1;
                for (int row = first; row <= last; ++row)
                    remember(row);
            });
    connect(source, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &first, const QModelIndex &last, const QList<int> &roles) {
                // A mark changing is no rename.
                if (!roles.isEmpty() && !roles.contains(Qt::DisplayRole))
                    return;
                for (int row = first.row(); row <= last.row(); ++row)
                    remember(row);
            });
    connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex &, int first, int last) {
                m_kept.removeIf([&](int row) { return row >= first && row <= last; });
                for (int &row : m_kept)
                    if (row > last)
                        row -= last - first + 1;
            });
    connect(source, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_kept.clear(); });
    QSortFilterProxyModel::setSourceModel(source);
}

void PageFilterModel::setText(const QString &text, const QList<int> &kept)
{
    m_text = text;
    m_match = NameMatch(text);
    m_kept = kept;
    std::sort(m_kept.begin(), m_kept.end());
    invalidateRowsFilter();
}

void PageFilterModel::keep(int sourceRow)
{
    if (remember(sourceRow) && !matches(sourceRow))
        invalidateRowsFilter();
}

bool PageFilterModel::remember(int sourceRow)
{
    const auto at = std::lower_bound(m_kept.begin(), m_kept.end(), sourceRow);
    if (at != m_kept.end() && *at == sourceRow)
        return false;
    m_kept.insert(at, sourceRow);
    return true;
}

bool PageFilterModel::matches(int sourceRow) const
{
    return m_match.isEmpty() ||
        m_match.matches(sourceModel()->index(sourceRow, 0).data().toString());
}

bool PageFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    return matches(sourceRow) || std::binary_search(m_kept.begin(), m_kept.end(), sourceRow);
}
