#pragma once

#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

#include <functional>

class HoverHelp;
class PageTableModel;
class QSortFilterProxyModel;
class ReferenceTargets;

// Edits a cell of a kind's table as the editors' controls edit its field: a line for a text or
// a number (offering page names where the field names pages), a drop-down for a choice, a
// check list for a bit set. What is typed goes to `commit`, which checks it.
class CellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // commit: the cell (of the view's model) and the text typed.
    using Commit = std::function<void(const QModelIndex &, const QString &)>;

    CellDelegate(const QSortFilterProxyModel &rows, const PageTableModel &table,
                 ReferenceTargets &targets, HoverHelp &help, Commit commit, QObject *parent);

    // The text the cell's editor opens with next time, instead of the cell's: what the user
    // typed and the check refused.
    void keepTyping(const QModelIndex &index, const QString &text);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

private:
    // A bit set's value in the cell.
    quint32 maskOf(const QModelIndex &index) const;

    const QSortFilterProxyModel &m_rows;
    const PageTableModel &m_table;
    ReferenceTargets &m_targets;
    HoverHelp &m_help;
    Commit m_commit;
    mutable QPersistentModelIndex m_keptAt;
    mutable QString m_kept;
};
