#pragma once

#include "editorwindow.h"
#include "pagecolumns.h"

class CellDelegate;
class FrozenTableView;
class PageEditor;
class PageHistory;
class PageLists;
class PageTableModel;
class QAction;
class QLineEdit;
class QMenu;
class QSortFilterProxyModel;
class QTableView;

// A kind's pages as a table, opened from its editor: a row for each page, a column for each
// field chosen, sorted and filtered by name as the user asks. Cells are edited as the editor's
// fields are, many at once, through the clipboard and from CSV; each such edit is one change of
// the editor's history.
class TableWindow : public EditorWindow
{
    Q_OBJECT

public:
    TableWindow(PageEditor &editor, PageLists &lists, UserDialogs &dialogs);
    ~TableWindow() override;

    PageTableModel &model() const { return *m_model; }
    QSortFilterProxyModel &rows() const;
    QTableView &view() const;
    QLineEdit &filterField() const { return *m_filter; }

    // The columns shown after the names, by key; remembered for the kind.
    QStringList shownKeys() const;
    void showColumns(const QStringList &keys);
    void chooseColumns();
    // Every column the kind's pages can have, without the names': what the chooser offers.
    QList<PageColumns::Column> allColumns() const;

    // The cells a bulk edit changes, as (row, column) of the model: those selected, or else
    // the selected rows' cells in the column last current; in the view's order.
    QList<std::pair<int, int>> targetCells() const;
    // Asks the value of the edit, then makes it on the target cells as one change.
    void bulkEdit(PageColumns::Edit::Op op);
    void editFlag(PageColumns::Edit::Op op, int bit);

    void copy();
    void paste();
    void exportCsv();
    void importCsv();

    void undo();
    void redo();

private:
    void buildActions();
    void updateActions();
    void commit(const QModelIndex &index, const QString &text);
    // Writes the cells as one change; false, having said why, when it wrote nothing.
    bool change(const QString &what, const QList<std::pair<int, int>> &cells,
                const std::function<PageColumns::Parsed(int row, int column,
                                                        const PageColumns::Cell &)> &newValue);
    const PageColumns::Column &columnAt(int column) const;
    QString pageName(int row) const;
    void fillFlagMenu(QMenu &menu, PageColumns::Edit::Op op);

    PageEditor &m_editor;
    PageLists &m_lists;
    PageHistory &m_history;
    PageTableModel *m_model;
    QSortFilterProxyModel *m_rows;
    FrozenTableView *m_view;
    CellDelegate *m_delegate;
    QLineEdit *m_filter;
    QMenu *m_editMenu;
    QList<std::pair<PageColumns::Edit::Op, QAction *>> m_edits;
    QMenu *m_setFlag;
    QMenu *m_clearFlag;
    int m_lastColumn = -1; // of the model, the last current column after the names
};
