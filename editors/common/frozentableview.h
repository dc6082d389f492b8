#pragma once

#include <QTableView>

// A table whose first column stays in view while the others scroll sideways: a second view
// over the same model and selection lies over it, and the table keeps the keyboard focus, so
// the keys and assistive tools meet one table with every column.
class FrozenTableView : public QTableView
{
    Q_OBJECT

public:
    explicit FrozenTableView(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;
    // The view that shows the first column over the table.
    QTableView &frozenView() const { return *m_frozen; }

    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void updateGeometries() override;

private:
    void hideOtherColumns();
    void placeFrozen();

    QTableView *m_frozen;
};
