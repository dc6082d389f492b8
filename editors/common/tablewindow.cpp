#include "tablewindow.h"

#include "celldelegate.h"
#include "columnchooser.h"
#include "frozentableview.h"
#include "hoverhelp.h"
#include "numbertext.h"
#include "pagechanges.h"
#include "pagecsv.h"
#include "pageeditor.h"
#include "pagefilter.h"
#include "pagelistmodel.h"
#include "pagelistpanel.h"
#include "pagelists.h"
#include "pagetable.h"
#include "pagetext.h"
#include "savefile.h"
#include "tableerror.h"
#include "userdialogs.h"
#include "workspace.h"

#include <QAction>
#include <QClipboard>
#include <QCollator>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

using namespace Qt::StringLiterals;
using namespace PageColumns;

namespace {

// The rows as the view shows them: filtered by name as the page list is, sorted by the
// column's key: numbers as numbers, texts as the user's language orders them, ignoring case.
class TableRows : public PageFilterModel
{
public:
    explicit TableRows(QObject *parent)
        : PageFilterModel(parent)
    {
        m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    }

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override
    {
        const QVariant a = left.data(PageTableModel::SortRole);
        const QVariant b = right.data(PageTableModel::SortRole);
        const bool aNumber = a.typeId() == QMetaType::Double;
        const bool bNumber = b.typeId() == QMetaType::Double;
        if (aNumber && bNumber) {
            // Not a number last, so that the order stays an order.
            const double x = a.toDouble();
            const double y = b.toDouble();
            if (std::isnan(x) || std::isnan(y))
                return !std::isnan(x) && std::isnan(y);
            return x < y;
        }
        // A page without the field after those with it.
        if (aNumber != bNumber)
            return aNumber;
        return m_collator.compare(a.toString(), b.toString()) < 0;
    }

private:
    QCollator m_collator;
};

const QString kCsvFilter = u"CSV files(*.csv)|*.csv|All files(*.*)|*.*"_s;

// The columns chosen, by kind.
QSettings settings()
{
    return QSettings(u"vkcp"_s, u"vkcp"_s);
}

QString settingsKey(PageKind kind)
{
    return u"table/%1/columns"_s.arg(kindInfo(kind).name);
}

// Cells as spreadsheets put them on the clipboard: tabs between cells, a line per row, a cell
// with a tab, a line break or a quote in quotes, its quotes doubled.
QString tabSeparated(const QList<QStringList> &rows)
{
    QStringList lines;
    for (const QStringList &row : rows) {
        QStringList cells;
        for (QString cell : row) {
            if (cell.contains(u'\t') || cell.contains(u'\n') || cell.contains(u'\r') ||
                cell.startsWith(u'"'))
                cell = u'"' + cell.replace(u"\""_s, u"\"\""_s) + u'"';
            cells.append(cell);
        }
        lines.append(cells.join(u'\t'));
    }
    return lines.join(u'\n') + u'\n';
}

QList<QStringList> fromTabSeparated(const QString &text)
{
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c != u'"')
                cell += c;
            else if (i + 1 < text.size() && text[i + 1] == u'"')
                cell += text[++i];
            else
                quoted = false;
        } else if (c == u'"' && cell.isEmpty()) {
            quoted = true;
        } else if (c == u'\t') {
            row.append(std::exchange(cell, {}));
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            row.append(std::exchange(cell, {}));
            rows.append(std::exchange(row, {}));
        } else {
            cell += c;
        }
    }
    if (!cell.isEmpty() || !row.isEmpty())
        rows.append(row << cell);
    return rows;
}

} // namespace

TableWindow::TableWindow(PageEditor &editor, PageLists &lists, UserDialogs &dialogs)
    : EditorWindow(dialogs,
                   QString::fromLatin1(pageFormat(editor.kind()).windowTitle) + u" table"_s,
                   u"table"_s, &editor)
    , m_editor(editor)
    , m_lists(lists)
    , m_history(static_cast<PageHistory &>(editor.history()))
{
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(true);

    m_model = new PageTableModel(lists, editor.kind(), editor.history(), this);
    auto *rows = new TableRows(this);
    rows->setSourceModel(m_model);
    m_rows = rows;

    auto *filterCaption = new QLabel(u"&Filter:"_s, this);
    m_filter = makeFilterField(help(), this);
    filterCaption->setBuddy(m_filter);
    connect(m_filter, &QLineEdit::textChanged, this,
            [rows](const QString &text) { rows->setText(text); });

    m_view = new FrozenTableView(this);
    m_view->setObjectName(u"pages"_s);
    m_view->setAccessibleName(QString::fromLatin1(pageFormat(editor.kind()).windowTitle));
    m_view->setModel(m_rows);
    // In list order until a header is clicked; a third click goes back to it.
    m_view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_view->horizontalHeader()->setSortIndicatorClearable(true);
    m_view->setSortingEnabled(true);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    m_view->verticalHeader()->hide();
    for (QTableView *view : { static_cast<QTableView *>(m_view), &m_view->frozenView() }) {
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint &at) {
            updateActions();
            m_editMenu->popup(view->viewport()->mapToGlobal(at));
        });
    }
    m_view->horizontalHeader()->setResizeContentsPrecision(40);
    m_view->horizontalHeader()->setHighlightSections(false);
    help().addHint(m_view,
                   u"Double-click a cell, or press F2, to edit it. Select cells to change "
                   "them all at once with Edit, or copy them; Ctrl+V pastes cells from a "
                   "spreadsheet at the current cell."_s);
    m_delegate = new CellDelegate(
        *m_rows, *m_model, lists, help(),
        [this](const QModelIndex &index, const QString &text) { commit(index, text); }, this);
    m_view->setItemDelegate(m_delegate);

    buildActions();
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TableWindow::updateActions);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (current.column() > 0)
                    m_lastColumn = current.column();
                updateActions();
            });

    auto *columns = withHint(new QPushButton(u"&Columns..."_s, this),
                             u"Choose the columns the table shows; the choice is kept for this "
                             "kind of page."_s);
    connect(columns, &QPushButton::clicked, this, &TableWindow::chooseColumns);
    auto *edit = withHint(new QPushButton(u"&Edit"_s, this),
                          u"Change the selected cells all at once, as one change that Ctrl+Z "
                          "undoes."_s);
    edit->setMenu(m_editMenu);
    connect(m_editMenu, &QMenu::aboutToShow, this, &TableWindow::updateActions);
    auto *exportFile = withHint(new QPushButton(u"E&xport CSV..."_s, this),
                                u"Write the columns and rows shown, in this order, to a CSV "
                                "file."_s);
    connect(exportFile, &QPushButton::clicked, this, &TableWindow::exportCsv);
    auto *importFile = withHint(new QPushButton(u"&Import CSV..."_s, this),
                                u"Read values from a CSV file whose rows name pages of this "
                                "kind; shows what will change before it writes."_s);
    connect(importFile, &QPushButton::clicked, this, &TableWindow::importCsv);
    auto *close = withHint(new QPushButton(u"Cl&ose"_s, this), u"Close the table."_s);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *top = new QHBoxLayout;
    top->addWidget(filterCaption);
    top->addWidget(m_filter, 1);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : { columns, edit, exportFile, importFile })
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto *window = new QVBoxLayout(this);
    window->addLayout(top);
    window->addWidget(m_view, 1);
    window->addLayout(buttons);
    window->addWidget(&helpMemo());

    const QRect screen = editor.screen()->availableGeometry();
    // Room for a dozen columns, on a screen as small as 1024 x 768 too; before the columns are
    // sized, which may take a third of it.
    resize(std::min(1000, screen.width() * 9 / 10), std::min(640, screen.height() * 9 / 10));
    showColumns(settings().value(settingsKey(editor.kind())).toStringList());
    m_view->setFocus();
    updateActions();
}

TableWindow::~TableWindow() = default;

QSortFilterProxyModel &TableWindow::rows() const
{
    return *m_rows;
}

QTableView &TableWindow::view() const
{
    return *m_view;
}

void TableWindow::buildActions()
{
    m_editMenu = new QMenu(this);
    const auto add = [this](QMenu &menu, const QString &text, QList<QKeySequence> keys,
                            Qt::ShortcutContext context, auto command) {
        auto *action = menu.addAction(text);
        action->setShortcuts(keys);
        action->setShortcutContext(context);
        connect(action, &QAction::triggered, this, command);
        if (!keys.isEmpty())
            (context == Qt::WindowShortcut ? static_cast<QWidget *>(this) : m_view)
                ->addAction(action);
        return action;
    };
    using Op = Edit::Op;
    for (const auto &[op, text] : { std::pair { Op::Set, u"&Set to..."_s },
                                    { Op::Add, u"&Add..."_s },
                                    { Op::Multiply, u"&Multiply by..."_s },
                                    { Op::Replace, u"&Replace text..."_s } })
        m_edits.append({ op, add(*m_editMenu, text, {}, Qt::WindowShortcut, [this, op = op] {
                             bulkEdit(op);
                         }) });
    m_setFlag = m_editMenu->addMenu(u"Set &flag"_s);
    m_clearFlag = m_editMenu->addMenu(u"C&lear flag"_s);
    connect(m_setFlag, &QMenu::aboutToShow, this,
            [this] { fillFlagMenu(*m_setFlag, Op::SetFlag); });
    connect(m_clearFlag, &QMenu::aboutToShow, this,
            [this] { fillFlagMenu(*m_clearFlag, Op::ClearFlag); });
    m_editMenu->addSeparator();
    // The view's own: in the filter field and in a cell being edited, the keys are the field's.
    add(*m_editMenu, u"&Copy"_s, { QKeySequence::Copy }, Qt::WidgetWithChildrenShortcut,
        &TableWindow::copy);
    add(*m_editMenu, u"&Paste"_s, { QKeySequence::Paste }, Qt::WidgetWithChildrenShortcut,
        &TableWindow::paste);
    m_editMenu->addSeparator();
    add(*m_editMenu, u"&Undo"_s, { QKeySequence::Undo }, Qt::WindowShortcut, &TableWindow::undo);
    add(*m_editMenu, u"R&edo"_s,
        { QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y) },
        Qt::WindowShortcut, &TableWindow::redo);
    auto *find = new QAction(u"Find"_s, this);
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, this, [this] {
        m_filter->setFocus(Qt::ShortcutFocusReason);
        m_filter->selectAll();
    });
    addAction(find);
}

const Column &TableWindow::columnAt(int column) const
{
    return m_model->columns()[column];
}

QString TableWindow::pageName(int row) const
{
    return textFromBytes(m_model->list().name(row));
}

QList<std::pair<int, int>> TableWindow::targetCells() const
{
    QModelIndexList selected = m_view->selectionModel()->selectedIndexes();
    std::sort(selected.begin(), selected.end(), [](const QModelIndex &a, const QModelIndex &b) {
        return std::pair(a.row(), a.column()) < std::pair(b.row(), b.column());
    });
    QList<std::pair<int, int>> cells;
    QList<int> rows;
    for (const QModelIndex &index : std::as_const(selected)) {
        const QModelIndex at = m_rows->mapToSource(index);
        if (at.column() > 0)
            cells.append({ at.row(), at.column() });
        else
            rows.append(at.row());
    }
    // Rows chosen by their names: the column the user was last in.
    if (cells.isEmpty() && m_lastColumn > 0 && m_lastColumn < m_model->columnCount())
        for (const int row : std::as_const(rows))
            cells.append({ row, m_lastColumn });
    return cells;
}

void TableWindow::updateActions()
{
    const QList<std::pair<int, int>> cells = targetCells();
    QList<int> columns;
    for (const auto &cell : cells)
        if (!columns.contains(cell.second))
            columns.append(cell.second);
    const auto takenByAll = [&](Edit::Op op) {
        return !columns.isEmpty() && std::all_of(columns.begin(), columns.end(), [&](int column) {
            return takes(columnAt(column), op);
        });
    };
    for (const auto &[op, action] : std::as_const(m_edits))
        action->setEnabled(takenByAll(op));
    // A flag is an item of one column's list.
    m_setFlag->setEnabled(columns.size() == 1 && takenByAll(Edit::Op::SetFlag));
    m_clearFlag->setEnabled(columns.size() == 1 && takenByAll(Edit::Op::ClearFlag));
}

void TableWindow::fillFlagMenu(QMenu &menu, Edit::Op op)
{
    menu.clear();
    const QList<std::pair<int, int>> cells = targetCells();
    if (cells.isEmpty())
        return;
    const FieldSpec &field = *columnAt(cells.front().second).field;
    for (int bit = 0; bit < int(field.items.size()) && bit < 32; ++bit)
        if (*field.items[size_t(bit)])
            connect(menu.addAction(QString::fromLatin1(field.items[size_t(bit)])),
                    &QAction::triggered, this, [this, op, bit] { editFlag(op, bit); });
}

bool TableWindow::change(const QString &what, const QList<std::pair<int, int>> &cells,
                         const std::function<Parsed(int, int, const Cell &)> &newValue)
{
    PageTableModel::Outcome outcome;
    if (!guarded(dialogs(), this, [&] { outcome = m_model->change(what, cells, newValue); }))
        return false;
    if (!outcome.refusal.isEmpty()) {
        dialogs().error(this, outcome.refusal);
        return false;
    }
    help().say(outcome.pages == 0 ? u"%1: no value changed."_s.arg(what)
                                  : u"%1: %2 values changed in %3 pages."_s.arg(what)
                                        .arg(outcome.values)
                                        .arg(outcome.pages));
    return true;
}

void TableWindow::bulkEdit(Edit::Op op)
{
    const QList<std::pair<int, int>> cells = targetCells();
    QList<int> columns;
    for (const auto &cell : cells) {
        if (!takes(columnAt(cell.second), op))
            return;
        if (!columns.contains(cell.second))
            columns.append(cell.second);
    }
    if (cells.isEmpty())
        return;
    const QString what = columns.size() == 1 ? columnAt(columns.front()).captions : u"each cell"_s;
    QString title;
    QStringList labels;
    QStringList texts;
    switch (op) {
    case Edit::Op::Set:
        title = u"Set to"_s;
        labels = { u"Set %1 to:"_s.arg(what) };
        // A number's exact value, a text as typed: Set reads what it offers as typing.
        texts = { m_model->index(cells.front().first, cells.front().second)
                      .data(isNumber(columnAt(cells.front().second).field->encoding)
                                ? int(PageTableModel::ExactRole)
                                : int(Qt::DisplayRole))
                      .toString() };
        break;
    case Edit::Op::Add:
        title = u"Add"_s;
        labels = { u"Add to %1:"_s.arg(what) };
        break;
    case Edit::Op::Multiply:
        title = u"Multiply by"_s;
        labels = { u"Multiply %1 by:"_s.arg(what) };
        break;
    case Edit::Op::Replace:
        title = u"Replace text"_s;
        labels = { u"Replace in %1:"_s.arg(what), u"With:"_s };
        break;
    default:
        return;
    }
    const std::optional<QStringList> typed = dialogs().askTexts(this, title, labels, texts);
    if (!typed || typed->isEmpty())
        return;
    const Edit edit { op, typed->at(0), typed->value(1) };
    change(u"%1 %2"_s.arg(title, typed->join(u" → "_s)), cells,
           [&](int, int column, const Cell &cell) { return edited(columnAt(column), cell, edit); });
}

void TableWindow::editFlag(Edit::Op op, int bit)
{
    const QList<std::pair<int, int>> cells = targetCells();
    if (cells.isEmpty())
        return;
    const Column &column = columnAt(cells.front().second);
    const Edit edit { .op = op, .bit = bit };
    change(u"%1 %2"_s.arg(op == Edit::Op::SetFlag ? u"Set flag"_s : u"Clear flag"_s,
                          QString::fromLatin1(column.field->items[size_t(bit)])),
           cells, [&](int, int, const Cell &cell) { return edited(column, cell, edit); });
}

void TableWindow::commit(const QModelIndex &index, const QString &text)
{
    if (text == index.data(Qt::EditRole).toString())
        return;
    QString refusal;
    const auto refused = connect(m_model, &PageTableModel::refused, this,
                                 [&](const QString &why) { refusal = why; });
    m_rows->setData(index, text, Qt::EditRole);
    disconnect(refused);
    if (refusal.isEmpty())
        return;
    // Once the view has closed the cell's editor: the box, then the editor again with what
    // was typed, so that no typing is lost.
    const QPersistentModelIndex at(index);
    QTimer::singleShot(0, this, [this, at, text, refusal] {
        dialogs().error(this, refusal);
        if (!at.isValid())
            return;
        m_delegate->keepTyping(at, text);
        m_view->setCurrentIndex(at);
        m_view->edit(at);
    });
}

void TableWindow::copy()
{
    QModelIndexList selected = m_view->selectionModel()->selectedIndexes();
    if (selected.isEmpty() && m_view->currentIndex().isValid())
        selected = { m_view->currentIndex() };
    if (selected.isEmpty())
        return;
    int top = INT_MAX, left = INT_MAX, bottom = -1, right = -1;
    for (const QModelIndex &index : std::as_const(selected)) {
        top = std::min(top, index.row());
        bottom = std::max(bottom, index.row());
        left = std::min(left, index.column());
        right = std::max(right, index.column());
    }
    QList<QStringList> block(bottom - top + 1, QStringList(right - left + 1));
    for (const QModelIndex &index : std::as_const(selected))
        block[index.row() - top][index.column() - left] =
            index.data(PageTableModel::ExactRole).toString();
    QGuiApplication::clipboard()->setText(tabSeparated(block));
}

void TableWindow::paste()
{
    const QList<QStringList> block = fromTabSeparated(QGuiApplication::clipboard()->text());
    const QModelIndex current = m_view->currentIndex();
    if (block.isEmpty() || !current.isValid())
        return;
    // (row, column) of the model, and the text each gets.
    QList<std::pair<std::pair<int, int>, QString>> texts;
    const QModelIndexList selected = m_view->selectionModel()->selectedIndexes();
    if (block.size() == 1 && block.front().size() == 1 && selected.size() > 1) {
        // One value fills every cell selected, as spreadsheets do.
        for (const QModelIndex &index : selected) {
            const QModelIndex at = m_rows->mapToSource(index);
            texts.append({ { at.row(), at.column() }, block.front().front() });
        }
    } else {
        for (int r = 0; r < block.size(); ++r) {
            for (int c = 0; c < block[r].size(); ++c) {
                const QModelIndex index = m_rows->index(current.row() + r, current.column() + c);
                if (!index.isValid()) {
                    dialogs().error(
                        this,
                        u"The cells pasted reach past the table's last %1: "
                        "%2 rows of %3 cells from the current cell"_s
                            .arg(current.row() + r >= m_rows->rowCount() ? u"row"_s : u"column"_s)
                            .arg(block.size())
                            .arg(block[r].size()));
                    return;
                }
                const QModelIndex at = m_rows->mapToSource(index);
                texts.append({ { at.row(), at.column() }, block[r][c] });
            }
        }
    }
    QList<std::pair<int, int>> cells;
    QHash<std::pair<int, int>, QString> textOfCell;
    for (const auto &[cell, text] : std::as_const(texts)) {
        const Column &column = columnAt(cell.second);
        if (!isEditable(column)) {
            // A block copied with the names in it pastes back over them unchanged.
            if (text ==
                m_model->index(cell.first, cell.second).data(PageTableModel::ExactRole).toString())
                continue;
            dialogs().error(this,
                            u"\"%1\", %2: %3"_s.arg(pageName(cell.first), column.captions,
                                                    column.isName
                                                        ? u"a page is renamed in its editor, where "
                                                          "the pages that name it can follow"_s
                                                        : u"nobody knows what this value means, so "
                                                          "it is kept as it is"_s));
            return;
        }
        cells.append(cell);
        textOfCell.insert(cell, text);
    }
    change(u"Paste"_s, cells, [&](int row, int column, const Cell &cell) {
        return parse(columnAt(column), cell, textOfCell.value({ row, column }), Form::Exact);
    });
}

void TableWindow::undo()
{
    m_history.userUndo();
}

void TableWindow::redo()
{
    m_history.userRedo();
}

QStringList TableWindow::shownKeys() const
{
    QStringList keys;
    for (int column = 1; column < m_model->columnCount(); ++column)
        keys.append(columnAt(column).key);
    return keys;
}

QList<Column> TableWindow::allColumns() const
{
    const std::vector<std::optional<PageBody>> read = m_model->readAll();
    std::vector<const Values *> pages;
    for (const std::optional<PageBody> &page : read)
        pages.push_back(page ? &page->values : nullptr);
    QList<Column> columns = columnsOf(m_model->kind(), entriesOf(m_model->kind(), pages));
    columns.removeIf([](const Column &column) { return column.isName; });
    return columns;
}

void TableWindow::showColumns(const QStringList &keys)
{
    QList<Column> columns;
    if (keys.isEmpty()) {
        columns = columnsOf(m_model->kind());
        columns.removeIf([](const Column &column) { return column.isName || column.repeated; });
    } else {
        // Keys of another version of the program, or mistyped, are passed over.
        for (const QString &key : keys)
            if (const std::optional<Column> column = columnOf(m_model->kind(), key);
                column && !column->isName)
                columns.append(*column);
    }
    // Past the first hundred columns, one width for all: every entry of every list can be tens
    // of thousands of columns, and sizing each one costs the header a pass over all of them.
    constexpr int sizedByRows = 100;
    m_view->horizontalHeader()->setDefaultSectionSize(fontMetrics().averageCharWidth() * 16);
    m_model->setColumns(columns);
    // Sized by the rows first shown and the captions, never wider than a third of the window.
    const int widest = std::max(120, width() / 3);
    for (int column = 0; column < std::min(sizedByRows, m_model->columnCount()); ++column) {
        m_view->resizeColumnToContents(column);
        m_view->setColumnWidth(column, std::min(m_view->columnWidth(column), widest));
    }
    updateActions();
}

void TableWindow::chooseColumns()
{
    ColumnChooser chooser(allColumns(), shownKeys(), this);
    if (chooser.exec() != QDialog::Accepted)
        return;
    const QStringList keys = chooser.chosen();
    showColumns(keys);
    // No column chosen is remembered as the defaults, which is what an empty choice shows.
    settings().setValue(settingsKey(m_model->kind()), keys);
}

void TableWindow::exportCsv()
{
    QString proposed = QString::fromLatin1(pageFormat(m_model->kind()).windowTitle).toLower();
    const QString target = dialogs().saveFileName(this,
                                                  { .title = u"Export CSV"_s,
                                                    .filter = kCsvFilter,
                                                    .defaultSuffix = u"csv"_s,
                                                    .fileName = proposed + u".csv"_s,
                                                    .exactName = true });
    if (target.isEmpty())
        return;
    guarded(dialogs(), this, [&] {
        m_lists.workspace().checkWriteTarget(target, Workspace::Write::Page);
        const std::vector<std::optional<PageBody>> read = m_model->readAll();
        std::vector<PageCsv::Page> pages;
        for (int shown = 0; shown < m_rows->rowCount(); ++shown) {
            const int row = m_rows->mapToSource(m_rows->index(shown, 0)).row();
            const std::optional<PageBody> &page = read[size_t(row)];
            pages.push_back(
                { m_model->list().name(row).toByteArray(), page ? &page->values : nullptr });
        }
        const QByteArray csv = PageCsv::exportCsv(m_model->columns(), pages);
        SafeSave file(target);
        file.write(csv);
        file.commit();
        const auto unreadable = std::count_if(
            pages.begin(), pages.end(), [](const PageCsv::Page &page) { return !page.values; });
        QString said = u"%1 pages written to \"%2\"."_s.arg(pages.size() - unreadable).arg(target);
        if (unreadable > 0)
            said += u" %1 that cannot be read (another version, or damaged) left out."_s.arg(
                NumberText::counted(unreadable, u"page"_s, u"pages"_s));
        help().say(said);
    });
}

void TableWindow::importCsv()
{
    const QString source =
        dialogs().openFileName(this, { u"Import CSV"_s, kCsvFilter, u"csv"_s, QString() });
    if (source.isEmpty())
        return;
    guarded(dialogs(), this, [&] {
        const QByteArray csv = PageCsv::readCsvFile(source);
        const QString fileName = QFileInfo(source).fileName();

        std::vector<std::optional<PageBody>> read = m_model->readAll();
        std::vector<PageCsv::Page> pages;
        for (int row = 0; row < m_model->rowCount(); ++row) {
            const std::optional<PageBody> &page = read[size_t(row)];
            pages.push_back(
                { m_model->list().name(row).toByteArray(), page ? &page->values : nullptr });
        }
        PageCsv::Import plan = PageCsv::planImport(m_model->kind(), pages, csv);
        QString summary = plan.summary();
        if (!plan.notFound.isEmpty()) {
            constexpr int named = 10;
            QStringList quoted;
            for (const QString &name :
                 plan.notFound.first(std::min<qsizetype>(named, plan.notFound.size())))
                quoted.append(u"\"%1\""_s.arg(name));
            summary += u"\n\nNot found: %1%2."_s.arg(
                quoted.join(u", "_s),
                plan.notFound.size() > named ? u" and %1 more"_s.arg(plan.notFound.size() - named)
                                             : QString());
        }
        if (plan.changes.isEmpty()) {
            dialogs().message(this, u"Import CSV"_s, summary, UserDialogs::Icon::Information);
            return;
        }
        if (dialogs().ask(this, u"Import CSV"_s, summary,
                          { .apply = u"Apply"_s, .discard = {}, .withoutDiscard = true }) !=
            UserDialogs::Answer::Apply)
            return;
        std::vector<std::pair<int, PageBody>> changed;
        for (PageCsv::Import::Change &change : plan.changes)
            changed.emplace_back(
                change.page,
                PageBody { std::move(change.values), read[size_t(change.page)]->trailing });
        const PageTableModel::Outcome outcome =
            m_model->replace(u"Import CSV \"%1\""_s.arg(fileName), changed);
        if (!outcome.refusal.isEmpty())
            throw TableError(outcome.refusal);
        help().say(u"Imported from \"%1\": %2 values changed in %3 pages."_s.arg(fileName)
                       .arg(plan.values)
                       .arg(outcome.pages));
    });
}
