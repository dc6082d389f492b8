#include "pagetable.h"

#include "pagechanges.h"
#include "pagelistmodel.h"
#include "pagelists.h"
#include "pagetext.h"
#include "references.h"
#include "tableerror.h"
#include "workspace.h"

#include <QApplication>
#include <QStyle>
#include <QUndoStack>
#include <QtConcurrent/QtConcurrentMap>

using namespace Qt::StringLiterals;
using namespace PageColumns;

namespace {

// Pages kept read, weighed by their records' bytes: most pages are small, and the few with
// thousands of procedural elements must not fill the memory.
constexpr qint64 kReadBytes = 1024 * 1024;

} // namespace

PageTableModel::PageTableModel(PageLists &lists, PageKind kind, QUndoStack &history,
                               QObject *parent)
    : QAbstractTableModel(parent)
    , m_lists(lists)
    , m_format(pageFormat(kind))
    , m_list(lists.model(kind))
    , m_history(history)
    , m_read(kReadBytes)
{
    const Item &name = m_format.layout->items[size_t(m_format.nameItem)];
    m_columns.append(*columnOf(kind, TableText::keyOf(name)));
    followList();
}

void PageTableModel::followList()
{
    const auto keysGone = [this] { m_keyColumn = -1; };
    connect(&m_list, &QAbstractItemModel::rowsAboutToBeInserted, this,
            [this](const QModelIndex &, int first, int last) { beginInsertRows({}, first, last); });
    connect(&m_list, &QAbstractItemModel::rowsInserted, this, [this, keysGone] {
        keysGone();
        endInsertRows();
    });
    connect(&m_list, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex &, int first, int last) { beginRemoveRows({}, first, last); });
    connect(&m_list, &QAbstractItemModel::rowsRemoved, this, [this, keysGone] {
        keysGone();
        endRemoveRows();
    });
    connect(&m_list, &QAbstractItemModel::modelAboutToBeReset, this,
            &PageTableModel::beginResetModel);
    connect(&m_list, &QAbstractItemModel::modelReset, this, [this, keysGone] {
        keysGone();
        endResetModel();
    });
    const auto rowChanged = [this](int row) {
        if (m_keyColumn >= 0 && row < m_keys.size())
            m_keys[row] = sortKey(row, m_keyColumn);
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    };
    connect(&m_list, &PageListModel::recordChanged, this, rowChanged);
    connect(&m_list, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &first, const QModelIndex &last, const QList<int> &roles) {
                emit dataChanged(index(first.row(), 0), index(last.row(), 0), roles);
            });
    // A name a reference holds may now name a page, or no longer.
    connect(&m_lists, &ReferenceTargets::changed, this, [this] {
        if (rowCount() > 0)
            emit dataChanged(index(0, 1), index(rowCount() - 1, columnCount() - 1),
                             { Qt::DecorationRole, Qt::ToolTipRole });
    });
}

void PageTableModel::setColumns(const QList<Column> &columns)
{
    beginResetModel();
    m_columns.resize(1);
    for (const Column &column : columns)
        if (!column.isName)
            m_columns.append(column);
    m_keyColumn = -1;
    endResetModel();
}

int PageTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_list.rowCount();
}

int PageTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

const PageTableModel::Read &PageTableModel::read(int row) const
{
    const qint64 record = m_list.record(row);
    if (const Read *known = m_read.object(record))
        return *known;
    auto *read = new Read;
    qint64 size = 0;
    try {
        const QByteArray bytes = m_lists.workspace().readPage(m_format.kind, row);
        size = bytes.size();
        read->body = PageBody::fromRecord(m_format, bytes, &read->why);
    } catch (const TableError &error) {
        read->why = error.message();
    }
    // A page larger than the cache is kept alone, until the next one: the cache would delete it.
    if (size > m_read.maxCost()) {
        m_uncached.reset(read);
        return *m_uncached;
    }
    m_read.insert(record, read, std::max<qint64>(size, 1));
    return *m_read.object(record);
}

const Values *PageTableModel::page(int row) const
{
    const Read &known = read(row);
    return known.body ? &known.body->values : nullptr;
}

Cell PageTableModel::cell(int row, int column) const
{
    const Values *values = page(row);
    return values ? cellOf(*values, m_columns[column]) : Cell {};
}

bool PageTableModel::names(const Column &column, const Cell &cell) const
{
    return !cell.value || column.field->refersTo.isEmpty() || textOf(*cell.value).isEmpty() ||
        m_lists.isNamed(column.field->refersTo, textOf(*cell.value));
}

QVariant PageTableModel::sortKey(const Values *page, int column) const
{
    const Cell at = page ? cellOf(*page, m_columns[column]) : Cell {};
    if (const std::optional<double> number = numberOf(m_columns[column], at))
        return *number;
    return textOf(m_columns[column], at, Form::Shown);
}

QVariant PageTableModel::sortKey(int row, int column) const
{
    if (column == 0)
        return textFromBytes(m_list.name(row));
    return sortKey(page(row), column);
}

void PageTableModel::makeKeys(int column) const
{
    m_keys.clear();
    m_keys.reserve(rowCount());
    QList<QByteArray> records;
    if (column > 0) {
        // One read of the kind's records rather than one per page, and the pages kept read for
        // the view are left as they are.
        try {
            records = m_lists.workspace().records(m_format.kind);
        } catch (const TableError &) { }
    }
    if (records.size() == rowCount()) {
        // Pages read on every core: a generic object has thousands of fields to read.
        m_keys = QtConcurrent::blockingMapped<QList<QVariant>>(
            records, [this, column](const QByteArray &record) {
                const std::optional<PageBody> body = PageBody::fromRecord(m_format, record);
                return sortKey(body ? &body->values : nullptr, column);
            });
    } else {
        for (int row = 0; row < rowCount(); ++row)
            m_keys.append(sortKey(row, column));
    }
    m_keyColumn = column;
}

QString PageTableModel::tip(int row, int column) const
{
    if (column == 0) {
        const Read &known = read(row);
        if (!known.body)
            return known.why;
        return m_list.data(m_list.index(row), Qt::ToolTipRole).toString();
    }
    const Column &shown = m_columns[column];
    const Cell at = cell(row, column);
    if (!names(shown, at))
        return noPageNamed(shown.field->refersTo, textFromBytes(textOf(*at.value)));
    if (at.value && shown.field->encoding == FieldEncoding::Float) {
        const QString exact = std::get<NumberValue>(*at.value).exactText();
        if (!exact.isEmpty())
            return u"stored: %1"_s.arg(exact);
    }
    return {};
}

QVariant PageTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const int row = index.row();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (column == 0)
            return textFromBytes(m_list.name(row));
        return textOf(m_columns[column], cell(row, column), Form::Shown);
    case ExactRole:
        return textOf(m_columns[column], cell(row, column), Form::Exact);
    case SortRole:
        if (m_keyColumn != column)
            makeKeys(column);
        return m_keys.value(row);
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole: {
        const QString said = tip(row, column);
        return said.isEmpty() ? QVariant() : said;
    }
    case Qt::DecorationRole:
        if (column == 0)
            return m_list.data(m_list.index(row), role);
        if (!names(m_columns[column], cell(row, column)))
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        return {};
    case Qt::TextAlignmentRole:
        if (isNumber(m_columns[column].field->encoding))
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant PageTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const Column &column = m_columns[section];
    switch (role) {
    case Qt::DisplayRole:
        // An entry's field is known by the entries it lies in.
        return column.repeated ? column.captions : column.caption;
    case Qt::ToolTipRole:
        return column.key;
    case Qt::AccessibleDescriptionRole:
        return column.captions == column.caption ? column.key
                                                 : u"%1 (%2)"_s.arg(column.captions, column.key);
    default:
        return {};
    }
}

Qt::ItemFlags PageTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && isEditable(m_columns[index.column()]) &&
        cell(index.row(), index.column()).value)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool PageTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const Column &column = m_columns[index.column()];
    const Parsed parsed =
        parse(column, cell(index.row(), index.column()), value.toString(), Form::Shown);
    if (const QString *refusal = std::get_if<QString>(&parsed)) {
        emit refused(*refusal);
        return false;
    }
    const Outcome outcome =
        change(u"Apply \"%1\""_s.arg(textFromBytes(m_list.name(index.row()))),
               { { index.row(), index.column() } }, [&](int, int, const Cell &) { return parsed; });
    if (!outcome.refusal.isEmpty()) {
        emit refused(outcome.refusal);
        return false;
    }
    return true;
}

PageTableModel::Outcome PageTableModel::change(const QString &what,
                                               const QList<std::pair<int, int>> &cells,
                                               const NewValue &newValue)
{
    struct Page
    {
        int row;
        PageBody body;
        bool changed = false;
    };
    std::vector<Page> pages;
    QHash<int, size_t> pageOf; // row to its place in pages
    int values = 0;
    for (const auto &[row, column] : cells) {
        if (row < 0 || row >= rowCount() || column <= 0 || column >= columnCount())
            continue;
        auto found = pageOf.constFind(row);
        if (found == pageOf.cend()) {
            const Read &known = read(row);
            if (!known.body)
                continue;
            pages.push_back({ row, *known.body });
            found = pageOf.insert(row, pages.size() - 1);
        }
        Page &page = pages[*found];
        const Column &at = m_columns[column];
        const Cell before = cellOf(page.body.values, at);
        if (!before.value)
            continue;
        const Parsed after = newValue(row, column, before);
        if (const QString *refusal = std::get_if<QString>(&after))
            return { 0, 0,
                     u"\"%1\", %2: %3"_s.arg(textFromBytes(m_list.name(row)), at.captions,
                                             *refusal) };
        if (sameValue(std::get<FieldValue>(after), *before.value))
            continue;
        setValue(page.body.values, at, std::get<FieldValue>(after));
        page.changed = true;
        ++values;
    }
    // Pages whose every cell kept its value are not written.
    std::vector<std::pair<int, PageBody>> written;
    for (Page &page : pages)
        if (page.changed)
            written.emplace_back(page.row, std::move(page.body));
    pages.clear();
    return write(what, written, values);
}

PageTableModel::Outcome PageTableModel::replace(const QString &what,
                                                const std::vector<std::pair<int, PageBody>> &pages)
{
    return write(what, pages, 0);
}

std::vector<std::optional<PageBody>> PageTableModel::readAll() const
{
    std::vector<std::optional<PageBody>> pages;
    pages.reserve(size_t(rowCount()));
    QList<QByteArray> records;
    try {
        records = m_lists.workspace().records(m_format.kind);
    } catch (const TableError &) { }
    if (records.size() == rowCount()) {
        for (const QByteArray &record : std::as_const(records))
            pages.push_back(PageBody::fromRecord(m_format, record));
        return pages;
    }
    // Read one by one, each failure with its page.
    for (int row = 0; row < rowCount(); ++row)
        pages.push_back(read(row).body);
    return pages;
}

PageTableModel::Outcome PageTableModel::write(const QString &what,
                                              const std::vector<std::pair<int, PageBody>> &pages,
                                              int values)
{
    if (pages.empty())
        return {};
    // Every record is written before the list changes, so a write that fails changes nothing.
    QList<PagesChange::Page> changes;
    try {
        for (const auto &[row, body] : pages) {
            const QByteArray name = body.name(m_format);
            const qint64 record = m_list.storeRecord(body.record(m_format));
            changes.append({ &m_list,
                             m_list.slot(row),
                             { m_list.record(row), m_list.name(row).toByteArray() },
                             { record, name } });
        }
    } catch (const TableError &error) {
        return { 0, 0, error.message() };
    }
    const int written = int(changes.size());
    try {
        pushChange(m_history, new PagesChange(what, std::move(changes), false));
    } catch (const TableError &error) {
        return { 0, 0, error.message() }; // the journal entry could not be written
    }
    return { written, values, {} };
}
