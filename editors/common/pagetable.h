#pragma once

#include "pagecolumns.h"
#include "pageformats.h"

#include <QAbstractTableModel>
#include <QCache>

#include <functional>
#include <memory>

class PageListModel;
class PageLists;
class QUndoStack;

// A kind's pages as a table: row r is the page at row r of its list, column 0 its name, then
// the columns chosen. Pages are read when a cell asks and kept by record, so that a scroll reads
// only the rows it shows and each version of a page once. Every edit writes its pages as Apply
// does and is one change of the kind's editor's history.
class PageTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Role {
        SortRole = Qt::UserRole + 1, // a number as a double, anything else as its shown text
        ExactRole, // the text CSV and the clipboard write (PageColumns::Form::Exact)
    };

    PageTableModel(PageLists &lists, PageKind kind, QUndoStack &history, QObject *parent = nullptr);

    PageKind kind() const { return m_format.kind; }
    PageListModel &list() const { return m_list; }

    // The columns after the name's, which stays first.
    void setColumns(const QList<PageColumns::Column> &columns);
    // The name's first.
    const QList<PageColumns::Column> &columns() const { return m_columns; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    // Display and Edit: the shown text; ToolTip: a reference's mark, the stored value of a
    // number shown rounded; Decoration: a warning on a name that names no page; SortRole,
    // ExactRole. A page that cannot be read shows why in its name's tool tip and empty cells.
    // Sort keys are those of one column at a time, each page read once for them, so that a
    // sort does not read pages for every comparison.
    QVariant data(const QModelIndex &index, int role) const override;
    // Horizontal: the caption, with the key as tool tip.
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Editable where the column is and the page has the field.
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // A typed text: checked as the field checks it; a refusal is announced by `refused` and
    // writes nothing.
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

    // The page at row as read; nullptr when it cannot be read (another version, damaged).
    const Values *page(int row) const;
    PageColumns::Cell cell(int row, int column) const;

    // What an edit of many cells did: pages written and values changed, or why it wrote
    // nothing ("Laser", Damage: Please enter a correct float value).
    struct Outcome
    {
        int pages = 0;
        int values = 0;
        QString refusal;
    };
    // A cell's new value, or why it cannot have one.
    using NewValue =
        std::function<PageColumns::Parsed(int row, int column, const PageColumns::Cell &)>;
    // Gives each cell (row, column) its new value and writes the pages whose values differ as
    // one change of the history, named `what`. The first refusal, or a page that cannot be
    // written, stops it before anything is written. Cells of absent fields are passed over.
    Outcome change(const QString &what, const QList<std::pair<int, int>> &cells,
                   const NewValue &newValue);
    // Whole pages at once, as a CSV import gives them: (row, page after).
    Outcome replace(const QString &what, const std::vector<std::pair<int, PageBody>> &pages);
    // Every page as read now, by row, kept by nobody: for what reads each page once (CSV out and
    // in). std::nullopt for a page that cannot be read.
    std::vector<std::optional<PageBody>> readAll() const;

signals:
    // A typed text was refused: the field's own message.
    void refused(const QString &message);

private:
    struct Read
    {
        std::optional<PageBody> body;
        QString why;
    };
    const Read &read(int row) const;
    QVariant sortKey(const Values *page, int column) const;
    QVariant sortKey(int row, int column) const;
    void makeKeys(int column) const;
    QString tip(int row, int column) const;
    bool names(const PageColumns::Column &column, const PageColumns::Cell &cell) const;
    Outcome write(const QString &what, const std::vector<std::pair<int, PageBody>> &pages,
                  int values);
    void followList();

    PageLists &m_lists;
    const PageFormat &m_format;
    PageListModel &m_list;
    QUndoStack &m_history;
    QList<PageColumns::Column> m_columns; // the name's first
    // Pages by record: a record never changes once written, so what was read stays true.
    mutable QCache<qint64, Read> m_read;
    mutable std::unique_ptr<Read> m_uncached;
    mutable int m_keyColumn = -1;
    mutable QList<QVariant> m_keys; // of m_keyColumn, by row
};
