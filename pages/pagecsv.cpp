#include "pagecsv.h"

#include "numbertext.h"
#include "tableerror.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <map>

using namespace Qt::StringLiterals;

namespace PageCsv {

namespace {

// Spreadsheets trim blanks around a cell that is not quoted, so such a cell is quoted too.
bool needsQuotes(QStringView cell)
{
    if (cell.isEmpty())
        return false;
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    return blank(cell.front()) || blank(cell.back()) ||
        std::any_of(cell.begin(), cell.end(),
                    [](QChar c) { return c == u',' || c == u'"' || c == u'\r' || c == u'\n'; });
}

void appendCell(QString &out, const QString &cell)
{
    if (!needsQuotes(cell)) {
        out += cell;
        return;
    }
    out += u'"';
    for (const QChar c : cell) {
        if (c == u'"')
            out += u'"';
        out += c;
    }
    out += u'"';
}

// The text of a UTF-8 file; a spreadsheet saving in the system's code page is the usual cause
// of a file that is not, so the message says which line to look at.
QString decoded(QByteArrayView utf8)
{
    if (utf8.startsWith("\xEF\xBB\xBF"))
        utf8 = utf8.sliced(3);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(utf8);
    if (!decoder.hasError())
        return text;
    int line = 1;
    for (qsizetype start = 0; start < utf8.size(); ++line) {
        qsizetype end = utf8.indexOf('\n', start);
        if (end < 0)
            end = utf8.size();
        QStringDecoder lineDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        (void)QString(lineDecoder(utf8.sliced(start, end - start)));
        if (lineDecoder.hasError())
            break;
        start = end + 1;
    }
    throw TableError(u"line %1 is not UTF-8 text: save the CSV file as UTF-8"_s.arg(line));
}

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

QString rowAt(int row)
{
    return u"row %1"_s.arg(row);
}

QString cellAt(int row, const PageColumns::Column &column)
{
    return u"row %1, column \"%2\""_s.arg(row).arg(column.key);
}

// Layout order: a flag that gives a page a block comes before the block's fields, so that
// they are read from the page as the flag leaves it.
bool inLayoutOrder(const PageColumns::Column &a, const PageColumns::Column &b)
{
    return std::lexicographical_compare(
        a.path.begin(), a.path.end(), b.path.begin(), b.path.end(),
        [](const PageColumns::Column::Step &x, const PageColumns::Column::Step &y) {
            return std::pair(x.item, x.entry) < std::pair(y.item, y.entry);
        });
}

bool isBlank(const QStringList &row)
{
    return std::all_of(row.begin(), row.end(), [](const QString &cell) { return cell.isEmpty(); });
}

struct Header
{
    QList<PageColumns::Column> columns; // as the file gives them
    int name = -1; // the name's column among them
};

Header readHeader(PageKind kind, const QStringList &keys)
{
    const QString kindName = kindInfo(kind).name.toString();
    Header header;
    QHash<QString, int> seen;
    for (const QString &key : keys) {
        const std::optional<PageColumns::Column> column = PageColumns::columnOf(kind, key);
        if (!column)
            throw TableError(key.isEmpty()
                                 ? u"column %1 of row 1 has no key"_s.arg(header.columns.size() + 1)
                                 : u"column \"%1\" is no field of a %2 page"_s.arg(key, kindName));
        if (seen.contains(key))
            throw TableError(u"column \"%1\" is given twice, as columns %2 and %3"_s.arg(key)
                                 .arg(seen.value(key) + 1)
                                 .arg(header.columns.size() + 1));
        seen.insert(key, int(header.columns.size()));
        if (column->isName)
            header.name = int(header.columns.size());
        header.columns.append(*column);
    }
    if (header.name < 0) {
        const QList<PageColumns::Column> all = PageColumns::columnsOf(kind);
        const auto name = std::find_if(all.begin(), all.end(),
                                       [](const PageColumns::Column &c) { return c.isName; });
        throw TableError(u"the file has no \"%1\" column, by which rows are matched to %2 "
                         u"pages"_s.arg(name == all.end() ? u"name"_s : name->key, kindName));
    }
    return header;
}

QString tooLarge(qint64 size)
{
    return u"the file is %1 bytes, more than the %2 bytes (%3 MB) a CSV file of pages may "
           u"have"_s.arg(size)
               .arg(kMaxCsvSize)
               .arg(kMaxCsvSize / (1024 * 1024));
}

} // namespace

QByteArray readCsvFile(const QString &path)
{
    // Not opened unless it is a file: opening a pipe would wait for a writer.
    if (!QFileInfo(path).isFile())
        throw TableError(u"\"%1\" is not a file that can be read"_s.arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TableError(u"Cannot read \"%1\": %2"_s.arg(path, file.errorString()));
    if (file.size() > kMaxCsvSize)
        throw TableError(u"\"%1\": %2"_s.arg(path, tooLarge(file.size())));
    return file.readAll();
}

QByteArray exportCsv(const QList<PageColumns::Column> &columns, std::span<const Page> pages)
{
    QString out;
    const auto endRow = [&] { out += u"\r\n"_s; };
    for (qsizetype c = 0; c < columns.size(); ++c) {
        if (c > 0)
            out += u',';
        appendCell(out, columns[c].key);
    }
    endRow();
    for (const Page &page : pages) {
        if (!page.values)
            continue;
        for (qsizetype c = 0; c < columns.size(); ++c) {
            if (c > 0)
                out += u',';
            appendCell(out,
                       PageColumns::textOf(columns[c],
                                           PageColumns::cellOf(*page.values, columns[c]),
                                           PageColumns::Form::Exact));
        }
        endRow();
    }
    return out.toUtf8();
}

QList<QStringList> parseCsv(const QByteArray &utf8)
{
    const QString text = decoded(utf8);
    const qsizetype n = text.size();
    QList<QStringList> rows;
    QStringList row;
    int line = 1;
    qsizetype i = 0;
    while (i < n) {
        QString cell;
        if (text[i] == u'"') {
            const int opened = line;
            for (++i;; ++i) {
                if (i >= n)
                    throw TableError(u"line %1: the quote that starts a cell here is never "
                                     u"closed"_s.arg(opened));
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        cell += u'"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 >= n || text[i + 1] != u'\n')))
                    ++line;
                cell += text[i];
            }
            if (i < n && text[i] != u',' && !isLineEnd(text[i]))
                throw TableError(u"line %1: text follows the closing quote of a cell (a quote "
                                 u"within a quoted cell is written twice)"_s.arg(line));
        } else {
            const qsizetype start = i;
            for (; i < n && text[i] != u',' && !isLineEnd(text[i]); ++i)
                if (text[i] == u'"')
                    throw TableError(u"line %1: a quote within a cell that does not start with "
                                     u"one (quote the cell and write the quote twice)"_s.arg(line));
            cell = text.sliced(start, i - start);
        }
        row.append(cell);
        if (i >= n)
            break;
        if (text[i] == u',') {
            if (++i == n)
                row.append(QString());
            continue;
        }
        if (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        ++i;
        ++line;
        rows.append(std::exchange(row, {}));
    }
    if (!row.isEmpty())
        rows.append(row);
    return rows;
}

QString Import::summary() const
{
    using NumberText::counted;
    QString text = u"%1, %2 will change"_s.arg(counted(changes.size(), u"page"_s, u"pages"_s),
                                               counted(values, u"value"_s, u"values"_s));
    if (!notFound.isEmpty())
        text += u"; %1 not found"_s.arg(counted(notFound.size(), u"name"_s, u"names"_s));
    return text;
}

Import planImport(PageKind kind, std::span<const Page> pages, const QByteArray &csv)
{
    if (csv.size() > kMaxCsvSize)
        throw TableError(tooLarge(csv.size()));
    QList<QStringList> rows = parseCsv(csv);
    if (rows.isEmpty() || isBlank(rows.first()))
        throw TableError(u"the file is empty: a CSV file of pages starts with a row of keys"_s);
    const QString kindName = kindInfo(kind).name.toString();
    const Header header = readHeader(kind, rows.first());
    const PageColumns::Column &nameColumn = header.columns[header.name];

    // The columns to read, in layout order, as positions in the file's rows.
    QList<int> order;
    for (int c = 0; c < header.columns.size(); ++c)
        if (c != header.name)
            order.append(c);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return inLayoutOrder(header.columns[a], header.columns[b]);
    });

    QHash<QByteArray, QList<int>> pagesNamed;
    for (int p = 0; p < int(pages.size()); ++p)
        pagesNamed[pages[size_t(p)].name].append(p);

    Import import;
    std::map<int, Import::Change> changes;
    QHash<QByteArray, int> rowNamed;
    for (int r = 1; r < rows.size(); ++r) {
        const QStringList &cells = rows[r];
        const int row = r + 1;
        if (isBlank(cells))
            continue; // a spreadsheet's empty line
        if (cells.size() != header.columns.size())
            throw TableError(u"%1 has %2 where the header has %3"_s.arg(
                rowAt(row), NumberText::counted(cells.size(), u"cell"_s, u"cells"_s),
                QString::number(header.columns.size())));

        const PageColumns::Parsed parsedName =
            PageColumns::parse(nameColumn, {}, cells[header.name], PageColumns::Form::Exact);
        if (const QString *why = std::get_if<QString>(&parsedName))
            throw TableError(u"%1: %2"_s.arg(cellAt(row, nameColumn), *why));
        const QByteArray name = std::get<QByteArray>(std::get<FieldValue>(parsedName));
        const QString shownName = TableText::escapedText(name);
        if (const auto earlier = rowNamed.constFind(name); earlier != rowNamed.cend())
            throw TableError(
                u"%1: \"%2\" is also on row %3"_s.arg(rowAt(row), shownName).arg(*earlier));
        rowNamed.insert(name, row);

        const QList<int> named = pagesNamed.value(name);
        if (named.isEmpty()) {
            import.notFound.append(shownName);
            continue;
        }
        if (named.size() > 1)
            throw TableError(
                u"%1: %2 %3 pages are named \"%4\", so the row could be either"_s.arg(rowAt(row))
                    .arg(named.size())
                    .arg(kindName, shownName));
        const int p = named.first();
        const Values *before = pages[size_t(p)].values;
        if (!before)
            throw TableError(
                u"%1: the %2 page \"%3\" cannot be read (another version, or "
                u"damaged), so it cannot be changed"_s.arg(rowAt(row), kindName, shownName));

        Import::Change change { p, *before };
        for (const int c : order) {
            const PageColumns::Column &column = header.columns[c];
            const QString &text = cells[c];
            const PageColumns::Cell cell = PageColumns::cellOf(change.values, column);
            if (!cell.value) {
                if (!text.isEmpty())
                    throw TableError(u"%1: the page has no such field (its list is shorter, or "
                                     u"it lacks the block), so the cell must be empty"_s.arg(
                                         cellAt(row, column)));
                continue;
            }
            // A block a flag of this row adds comes with a new page's values; its cells, empty
            // in a file written while the page had no such block, leave them.
            if (text.isEmpty() && !PageColumns::cellOf(*before, column).value)
                continue;
            if (!PageColumns::isEditable(column)) {
                const QString current = PageColumns::textOf(column, cell, PageColumns::Form::Exact);
                if (text != current &&
                    text != PageColumns::textOf(column, cell, PageColumns::Form::Shown))
                    throw TableError(
                        u"%1: what this value means is not known, so it cannot be "
                        u"changed; leave it \"%2\""_s.arg(cellAt(row, column), current));
                continue;
            }
            const PageColumns::Parsed parsed =
                PageColumns::parse(column, cell, text, PageColumns::Form::Exact);
            if (const QString *why = std::get_if<QString>(&parsed))
                throw TableError(u"%1: %2"_s.arg(cellAt(row, column), *why));
            const FieldValue &value = std::get<FieldValue>(parsed);
            if (PageColumns::sameValue(value, *cell.value))
                continue;
            PageColumns::setValue(change.values, column, value);
            ++change.changed;
        }
        if (change.changed > 0) {
            import.values += change.changed;
            changes.emplace(p, std::move(change));
        }
    }
    for (auto &[page, change] : changes)
        import.changes.append(std::move(change));
    return import;
}

} // namespace PageCsv
