#include "tablecsv.h"

#include "loader.h"
#include "recordwalk.h"
#include "tableerror.h"

#include <map>

using namespace Qt::StringLiterals;

namespace TableCsv {

KindPages::KindPages(const QByteArray &table, PageKind kind)
    : m_table(table)
    , m_kind(kind)
{
    const LoadedTable loaded = LoadTableBytes(m_table);
    const PageFormat &format = pageFormat(kind);
    const int count = loaded.directory.pageCount(kind);
    m_records.reserve(size_t(count));
    m_bodies.reserve(size_t(count));
    for (int position = 0; position < count; ++position) {
        const qint64 offset = loaded.directory.resolve(kind, position).position;
        const TableRecord record =
            recordAt(offset, QByteArrayView(m_table).sliced(offset), m_table.size());
        m_records.push_back(QByteArrayView(m_table).sliced(offset, record.size()));
        m_bodies.push_back(PageBody::fromRecord(format, m_records.back().toByteArray()));
    }
    const NameList &names = loaded.names[size_t(kindIndex(kind))];
    m_pages.reserve(size_t(count));
    for (int position = 0; position < count; ++position) {
        const std::optional<PageBody> &body = m_bodies[size_t(position)];
        m_pages.push_back({ names[position].toByteArray(), body ? &body->values : nullptr });
    }
}

QByteArray KindPages::changed(const PageCsv::Import &import) const
{
    const PageFormat &format = pageFormat(m_kind);
    std::map<qint64, std::pair<qsizetype, QByteArray>> written; // by offset: old size, record
    for (const PageCsv::Import::Change &change : import.changes) {
        const QByteArrayView record = m_records[size_t(change.page)];
        const auto pageName = [&] {
            return u"%1 \"%2\""_s.arg(kindInfo(m_kind).name,
                                      TableText::escapedText(m_pages[size_t(change.page)].name));
        };
        PageBody body = *m_bodies[size_t(change.page)];
        // Writing such a page would change more than the import changes.
        if (body.record(format) != record)
            throw TableError(u"%1 would not come back byte for byte, so it cannot be "
                             u"changed"_s.arg(pageName()));
        body.values = change.values;
        try {
            written[record.data() - m_table.constData()] = { record.size(), body.record(format) };
        } catch (const TableError &error) {
            throw TableError(u"%1: %2"_s.arg(pageName(), error.message()));
        }
    }
    QByteArray table;
    table.reserve(m_table.size());
    qint64 at = 0;
    for (const auto &[offset, replaced] : written) {
        table += QByteArrayView(m_table).sliced(at, offset - at);
        table += replaced.second;
        at = offset + replaced.first;
    }
    table += QByteArrayView(m_table).sliced(at);
    return table;
}

QList<PageColumns::Column> csvColumns(PageKind kind, const QStringList &keys, QString *unknown)
{
    const QList<PageColumns::Column> all = PageColumns::columnsOf(kind);
    QList<PageColumns::Column> columns;
    for (const PageColumns::Column &column : all)
        if (column.isName)
            columns.append(column);
    const auto has = [&](const QString &key) {
        return std::any_of(columns.begin(), columns.end(),
                           [&](const PageColumns::Column &c) { return c.key == key; });
    };
    if (keys.isEmpty()) {
        for (const PageColumns::Column &column : all)
            if (!column.repeated && !has(column.key))
                columns.append(column);
        return columns;
    }
    for (const QString &key : keys) {
        const std::optional<PageColumns::Column> column = PageColumns::columnOf(kind, key);
        if (!column) {
            *unknown = key;
            return {};
        }
        if (!has(key))
            columns.append(*column);
    }
    return columns;
}

} // namespace TableCsv
