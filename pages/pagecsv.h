#pragma once

#include "pagecolumns.h"

#include <QStringList>

// A kind's pages as CSV and back: a header row of keys, then one row per page, cells as
// PageColumns writes and reads them exactly. The table window's Export and Import CSV and
// `vktable csv` and `csv-import` are this code.
namespace PageCsv {

// The largest CSV file read: more than a whole kind with every column would take.
inline constexpr qint64 kMaxCsvSize = 32 * 1024 * 1024;

// One page of the kind, in list order; values is nullptr for a page that cannot be read
// (another version, damaged), which export leaves out and import cannot change.
struct Page
{
    QByteArray name;
    const Values *values = nullptr;
};

// The bytes of a CSV file to import. Throws TableError naming the file when it cannot be read,
// and naming its size, before reading it, when it is larger than kMaxCsvSize.
QByteArray readCsvFile(const QString &path);

// The columns' keys, then a row for each page that can be read. UTF-8 without a byte order
// mark, RFC 4180: cells with a comma, a quote, a line break or blanks at either end are quoted,
// a quote doubled, rows end with CR LF.
QByteArray exportCsv(const QList<PageColumns::Column> &columns, std::span<const Page> pages);

// The rows of an RFC 4180 text, each a list of cells: rows end with CR LF, LF or CR, the last
// one may not, a byte order mark before the first is passed over, and a quoted cell may hold
// line breaks. Throws TableError naming the line for a quote left open, a quote inside a cell
// not quoted, text after a closing quote, and text that is not UTF-8.
QList<QStringList> parseCsv(const QByteArray &utf8);

struct Import
{
    struct Change
    {
        int page; // in the pages given
        Values values; // the page after the import
        int changed = 0; // values that differ
    };
    QList<Change> changes; // in page order; only pages with a value that differs
    int values = 0; // values that differ, all pages together
    QStringList notFound; // names of rows no page has, in row order
    // "12 pages, 37 values will change; 2 names not found"
    QString summary() const;
};

// What importing the CSV into these pages would change: rows matched by the column of the
// page's name (its key, as "name" or "door_name"), which the file must have; the other cells
// compared by value, in layout order, so that a flag that gives the page a block comes before
// the block's cells. Rows with only empty cells are passed over. Throws TableError, planning
// nothing, for: an empty file or one larger than kMaxCsvSize, no name column, a key that is no
// column of the kind or is given twice, a name given on two rows or held by two pages, a row
// matching a page that cannot be read, a row with more or fewer cells than the header, a cell
// given for a field the page has not (a shorter list, an absent block), a value the table may
// not change given another text, and a cell whose text is no value of its field ("row 4,
// column "damage": Please enter a correct float value"). Rows count from 1 with the header as
// row 1, as a spreadsheet numbers them.
Import planImport(PageKind kind, std::span<const Page> pages, const QByteArray &csv);

} // namespace PageCsv
