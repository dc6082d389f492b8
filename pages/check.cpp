#include "check.h"

#include "batchmap.h"
#include "recordfile.h"
#include "recordwalk.h"
#include "references.h"
#include "tabletext.h"

#include <QSet>
#include <QStringList>

using namespace Qt::StringLiterals;

QString Finding::line() const
{
    return u"%1 \"%2\": %3: %4"_s.arg(kind, TableText::escapedText(name), field, problem);
}

namespace {

// The names of the pages the program loads, per kind: it skips pages of another version.
// Read where the loader reads them, so that no page is decoded twice.
using Names = std::array<QSet<QByteArray>, kKinds.size()>;

void addName(Names &names, const TableRecord &record)
{
    if (record.isLoadedPage())
        names[size_t(kindIndex(*record.kind))].insert(record.name.toByteArray());
}

// A page as check meets it, in file order.
struct Page
{
    QByteArray record;
    std::optional<PageKind> kind;
    QByteArray name; // where the loader reads it
    int loadedAt = -1; // among the pages of its kind the program loads
    bool duplicate = false; // a page loaded before it has its name
};

// Numbers the pages the program loads within their kinds, in file order, and notes a name
// that one before had.
class Order
{
public:
    Page place(const TableRecord &record)
    {
        Page page { {}, record.kind, record.name.toByteArray() };
        if (record.isLoadedPage()) {
            const size_t k = size_t(kindIndex(*record.kind));
            page.loadedAt = m_count[k]++;
            page.duplicate = m_seen[k].contains(page.name);
            m_seen[k].insert(page.name);
        }
        return page;
    }

private:
    Names m_seen;
    std::array<int, kKinds.size()> m_count {};
};

QList<Finding> pageFindings(const Page &page, const Names &names)
{
    QList<Finding> findings;
    if (!page.kind || !isEdited(*page.kind))
        return findings;
    const QString kind = kindInfo(*page.kind).name.toString();
    const PageFormat &format = pageFormat(*page.kind);
    const TableText::Decoding decoding = TableText::decodeRecord(page.record);
    const std::optional<TableText::DecodedPage> &decoded = decoding.page;
    const QByteArray name = decoded ? decoded->body.name(format) : page.name;
    const auto found = [&](const QString &field, const QString &captions, const QString &problem) {
        findings.append({ kind, name, field, captions, problem, page.kind, page.loadedAt });
    };
    if (!decoded)
        found(u"page"_s, u"Page"_s, decoding.reason);
    if (page.duplicate) {
        const TableText::FieldAt::Step nameField[] = {
            { &format.layout->items[size_t(format.nameItem)], -1 }
        };
        found(TableText::keyOf(nameField), TableText::captionsOf(nameField),
              u"another page of this kind has this name"_s);
    }
    if (!decoded)
        return findings;
    for (const PageReference &reference : pageReferences(decoded->kind, decoded->body)) {
        bool named = false;
        for (const PageKind target : kEditedKinds)
            named = named ||
                (reference.targets.contains(target) &&
                 names[size_t(kindIndex(target))].contains(reference.name));
        if (!named)
            found(reference.path.key(), reference.path.captions(),
                  u"names no %1 page \"%2\""_s.arg(kindNames(reference.targets),
                                                   TableText::escapedText(reference.name)));
    }
    return findings;
}

// Each page is decoded and looked through on its own, on every core.
auto pageChecks(const Names &names)
{
    const auto check = [&names](const Page &page) { return pageFindings(page, names); };
    return BatchMap<Page, decltype(check)>(check);
}

// A page the file's end cuts short is lost on the next save; the program does not load it.
Finding cutShortFinding(const TableRecord &piece, qint64 size)
{
    return { TableText::kindName(piece.kindByte),
             piece.name.toByteArray(),
             u"page"_s,
             u"Page"_s,
             u"cut short: the file ends %1 bytes into this page"_s.arg(size),
             piece.kind,
             -1 };
}

// A batch of pages at a time: enough to keep the cores busy, few enough that memory holds a
// few megabytes of the table.
constexpr qint64 kBatchBytes = 2 << 20;

// The names first, then the pages a batch at a time.
template<typename Source> void checkSource(Source &table, const FindingSink &found)
{
    Names names;
    walkRecords(table, [&](const TableRecord &record) { addName(names, record); });
    auto checks = pageChecks(names);
    Order order;
    QList<Page> batch;
    qint64 batchBytes = 0;
    const auto nextBatch = [&] {
        for (const QList<Finding> &findings : checks.next(std::exchange(batch, {})))
            for (const Finding &finding : findings)
                found(finding);
        batchBytes = 0;
    };
    std::optional<Finding> cutShort;
    walkRecords(table, [&](const TableRecord &record) {
        if (!record.whole) {
            cutShort = cutShortFinding(record, table.size() - record.offset);
            return;
        }
        // The name first: reading the record moves the window the name lies in.
        Page &page = batch.emplace_back(order.place(record));
        page.record = table.bytesAt(record.offset, record.size()).toByteArray();
        batchBytes += record.size();
        if (batchBytes >= kBatchBytes)
            nextBatch();
    });
    nextBatch(); // the last batch
    nextBatch(); // and its findings
    if (cutShort)
        found(*cutShort);
}

} // namespace

QList<Finding> checkRecords(const QList<QByteArrayView> &records, QByteArrayView cutShort)
{
    QList<TableRecord> described;
    described.reserve(records.size());
    Names names;
    for (const QByteArrayView record : records) {
        described.append(describeRecord(record));
        addName(names, described.last());
    }
    Order order;
    QList<Page> pages;
    pages.reserve(records.size());
    for (qsizetype r = 0; r < records.size(); ++r) {
        pages.append(order.place(described[r]));
        pages.last().record = QByteArray::fromRawData(records[r].data(), records[r].size());
    }
    auto checks = pageChecks(names);
    checks.next(pages);
    QList<Finding> findings;
    for (const QList<Finding> &found : checks.next({}))
        findings += found;
    if (!cutShort.isEmpty())
        findings.append(cutShortFinding(describeRecord(cutShort), cutShort.size()));
    return findings;
}

QList<Finding> checkTable(const QByteArray &table)
{
    MemoryTable source(table);
    QList<Finding> findings;
    checkSource(source, [&findings](const Finding &finding) { findings.append(finding); });
    return findings;
}

void checkTable(RecordFile &table, const FindingSink &found)
{
    checkSource(table, found);
}
