#include "check.h"

#include "recordwalk.h"
#include "references.h"
#include "tabletext.h"

#include <QSet>
#include <QStringList>
#include <QtConcurrent/QtConcurrentMap>

#include <numeric>

using namespace Qt::StringLiterals;

QString Finding::line() const
{
    return u"%1 \"%2\": %3: %4"_s.arg(kind, TableText::escapedText(name), field, problem);
}

QList<Finding> checkRecords(const QList<QByteArrayView> &records, QByteArrayView cutShort)
{
    QList<TableRecord> described;
    described.reserve(records.size());
    for (const QByteArrayView record : records)
        described.append(describeRecord(record));
    // The names of the pages the program loads, per kind: it skips pages of another version.
    // Read where the loader reads them, so that no page is decoded twice.
    std::array<QSet<QByteArrayView>, kKinds.size()> names;
    QList<bool> duplicate(records.size(), false);
    QList<int> loadedAt(records.size(), -1);
    std::array<int, kKinds.size()> loadedCount {};
    for (qsizetype r = 0; r < records.size(); ++r) {
        const TableRecord &record = described[r];
        if (!record.isLoadedPage())
            continue;
        const size_t k = size_t(kindIndex(*record.kind));
        loadedAt[r] = loadedCount[k]++;
        duplicate[r] = names[k].contains(record.name);
        names[k].insert(record.name);
    }

    // Each page is decoded and looked through on its own, on every core.
    QList<qsizetype> positions(records.size());
    std::iota(positions.begin(), positions.end(), 0);
    const auto pageFindings = [&](qsizetype r) {
        QList<Finding> findings;
        const std::optional<PageKind> pageKind = described[r].kind;
        if (!pageKind || !isEdited(*pageKind))
            return findings;
        const QString kind = kindInfo(*pageKind).name.toString();
        const PageFormat &format = pageFormat(*pageKind);
        const TableText::Decoding decoding = TableText::decodeRecord(records[r].toByteArray());
        const std::optional<TableText::DecodedPage> &decoded = decoding.page;
        const QByteArray name =
            decoded ? decoded->body.name(format) : described[r].name.toByteArray();
        const auto found = [&](const QString &field, const QString &captions,
                               const QString &problem) {
            findings.append({ kind, name, field, captions, problem, pageKind, loadedAt[r] });
        };
        if (!decoded)
            found(u"page"_s, u"Page"_s, decoding.reason);
        if (duplicate[r]) {
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
    };
    QList<Finding> findings;
    for (const QList<Finding> &found :
         QtConcurrent::blockingMapped<QList<QList<Finding>>>(positions, pageFindings))
        findings += found;

    // A page the file's end cuts short is lost on the next save; the program does not load it.
    if (!cutShort.isEmpty()) {
        const TableRecord piece = describeRecord(cutShort);
        findings.append(
            { TableText::kindName(piece.kindByte), piece.name.toByteArray(), u"page"_s, u"Page"_s,
              u"cut short: the file ends %1 bytes into this page"_s.arg(cutShort.size()),
              piece.kind, -1 });
    }
    return findings;
}

QList<Finding> checkTable(const QByteArray &table)
{
    QList<QByteArrayView> records;
    QByteArrayView cutShort;
    walkRecords(QByteArrayView(table), [&](const TableRecord &record) {
        if (record.whole)
            records.append(QByteArrayView(table).sliced(record.offset, record.size()));
        else
            cutShort = QByteArrayView(table).sliced(record.offset);
    });
    return checkRecords(records, cutShort);
}
