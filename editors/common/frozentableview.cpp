#include "frozentableview.h"

#include <QHeaderView>
#include <QScrollBar>

using namespace Qt::StringLiterals;

FrozenTableView::FrozenTableView(QWidget *parent)
    : QTableView(parent)
    , m_frozen(new QTableView(this))
{
    // Per pixel, so that the two views scroll as one.
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);
    m_frozen->setVerticalScrollMode(ScrollPerPixel);
    m_frozen->setFocusPolicy(Qt::NoFocus);
    m_frozen->setFrameShape(QFrame::NoFrame);
    m_frozen->setEditTriggers(NoEditTriggers);
    m_frozen->verticalHeader()->hide();
    m_frozen->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_frozen->horizontalHeader()->setSortIndicatorShown(true);
    m_frozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_frozen->setAccessibleName(u"Names"_s);
    viewport()->stackUnder(m_frozen);

    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) {
                if (column == 0) {
                    m_frozen->setColumnWidth(0, width);
                    placeFrozen();
                }
            });
    connect(verticalHeader(), &QHeaderView::sectionResized, this,
            [this](int row, int, int height) { m_frozen->setRowHeight(row, height); });
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, m_frozen->verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(m_frozen->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
            &QAbstractSlider::setValue);
    // The frozen header sorts by the names as the table's own would.
    connect(m_frozen->horizontalHeader(), &QHeaderView::sectionClicked, this, [this] {
        const QHeaderView &header = *horizontalHeader();
        const bool ascending = header.sortIndicatorSection() != 0 ||
            header.sortIndicatorOrder() == Qt::DescendingOrder;
        sortByColumn(0, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    });
    connect(horizontalHeader(), &QHeaderView::sortIndicatorChanged, m_frozen->horizontalHeader(),
            &QHeaderView::setSortIndicator);
}

void FrozenTableView::setModel(QAbstractItemModel *model)
{
    QTableView::setModel(model);
    m_frozen->setModel(model);
    m_frozen->setSelectionModel(selectionModel());
    connect(model, &QAbstractItemModel::columnsInserted, this, &FrozenTableView::hideOtherColumns);
    connect(model, &QAbstractItemModel::modelReset, this, &FrozenTableView::hideOtherColumns);
    connect(model, &QAbstractItemModel::layoutChanged, this, &FrozenTableView::hideOtherColumns);
    hideOtherColumns();
}

void FrozenTableView::hideOtherColumns()
{
    const int columns = model() ? model()->columnCount() : 0;
    for (int column = 0; column < columns; ++column)
        m_frozen->setColumnHidden(column, column != 0);
    m_frozen->setColumnWidth(0, columnWidth(0));
    placeFrozen();
}

void FrozenTableView::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    placeFrozen();
}

void FrozenTableView::updateGeometries()
{
    QTableView::updateGeometries();
    placeFrozen();
}

void FrozenTableView::placeFrozen()
{
    const int left = verticalHeader()->isVisible() ? verticalHeader()->width() : 0;
    m_frozen->setGeometry(left + frameWidth(), frameWidth(), columnWidth(0),
                          viewport()->height() + horizontalHeader()->height());
}

void FrozenTableView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    // The names are always in view: only the rows scroll to one.
    const int sideways = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    if (index.column() == 0)
        horizontalScrollBar()->setValue(sideways);
    else if (const int under = columnWidth(0) - visualRect(index).left(); under > 0)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - under);
}
