#pragma once

#include "pagecsv.h"

#include <vector>

// `vktable csv` and `csv-import`: a table file's pages of one kind as CSV, and the table with an
// import's pages written anew and every other byte as it was.
namespace TableCsv {

// A table's pages of one kind, read once, in the order the editors list them.
class KindPages
{
public:
    // Throws TableError for a damaged table, as loading it does.
    KindPages(const QByteArray &table, PageKind kind);
    KindPages(const KindPages &) = delete;
    KindPages &operator=(const KindPages &) = delete;

    std::span<const PageCsv::Page> pages() const { return m_pages; }
    // The table with the records of the pages the import changes replaced. Throws TableError,
    // making nothing, for a page that would not come back byte for byte were it written as read.
    QByteArray changed(const PageCsv::Import &import) const;

private:
    QByteArray m_table;
    PageKind m_kind;
    std::vector<QByteArrayView> m_records;
    std::vector<std::optional<PageBody>> m_bodies;
    std::vector<PageCsv::Page> m_pages;
};

// The columns a CSV of the kind has: the name's first, then the columns of keys, or without
// keys every column of the kind that is no entry of a list. A key no column has is given in
// *unknown, with no columns.
QList<PageColumns::Column> csvColumns(PageKind kind, const QStringList &keys, QString *unknown);

} // namespace TableCsv
