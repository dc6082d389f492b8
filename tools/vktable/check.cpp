#include "check.h"

#include "tabletext.h"

#include <QSet>
#include <QStringList>
#include <QtConcurrent/QtConcurrentMap>
#include <QtEndian>

#include <numeric>

using namespace Qt::StringLiterals;

QString Finding::line() const
{
    return u"%1 \"%2\": %3: %4"_s.arg(kind, QString::fromLatin1(name), field, problem);
}

bool isLoadedPage(const QByteArray &record)
{
    const std::optional<PageKind> kind =
        record.isEmpty() ? std::nullopt : acceptedKind(quint8(record[0]));
    return kind && isEdited(*kind) && record.size() >= RecordHeader::size &&
        qFromLittleEndian<quint16>(record.constData() + RecordHeader::size - 2) ==
        kindInfo(*kind).version;
}

QList<Finding> checkTable(const QByteArray &table)
{
    QByteArray trailing;
    const QList<QByteArray> records = TableText::splitTable(table, &trailing);
    // The names of the pages the program loads, per kind: it skips pages of another version.
    // Read where the loader reads them, so that no page is decoded twice.
    std::array<QSet<QByteArray>, kKinds.size()> names;
    QList<bool> duplicate(records.size(), false);
    QList<int> loadedAt(records.size(), -1);
    std::array<int, kKinds.size()> loadedCount {};
    for (qsizetype r = 0; r < records.size(); ++r) {
        const QByteArray &record = records[r];
        if (!isLoadedPage(record))
            continue;
        const std::optional<PageKind> kind = acceptedKind(quint8(record[0]));
        loadedAt[r] = loadedCount[size_t(kindIndex(*kind))]++;
        QSet<QByteArray> &known = names[size_t(kindIndex(*kind))];
        const QByteArray name = TableText::recordName(record);
        duplicate[r] = known.contains(name);
        known.insert(name);
    }

    // Each page is decoded and looked through on its own, on every core.
    QList<qsizetype> positions(records.size());
    std::iota(positions.begin(), positions.end(), 0);
    const auto pageFindings = [&](qsizetype r) {
        QList<Finding> findings;
        const QByteArray &record = records[r];
        const std::optional<PageKind> pageKind = acceptedKind(quint8(record[0]));
        if (!pageKind || !isEdited(*pageKind))
            return findings;
        const QString kind = kindInfo(*pageKind).name.toString();
        const PageFormat &format = pageFormat(*pageKind);
        const TableText::Decoding decoding = TableText::decodeRecord(record);
        const std::optional<TableText::DecodedPage> &decoded = decoding.page;
        const QByteArray name =
            decoded ? decoded->body.name(format) : TableText::recordName(record);
        const auto found = [&](const QString &field, const QString &problem) {
            findings.append({ kind, name, field, problem, pageKind, loadedAt[r] });
        };
        if (!decoded)
            found(u"page"_s, decoding.reason);
        if (duplicate[r])
            found(TableText::keyOf(format.layout->items[size_t(format.nameItem)]),
                  u"another page of this kind has this name"_s);
        if (!decoded)
            return findings;
        TableText::forEachField(*decoded, [&](const TableText::FieldAt &at) {
            if (at.field.refersTo.isEmpty() || textOf(at.value).isEmpty())
                return;
            const QByteArray &text = textOf(at.value);
            QStringList what;
            for (const PageKind target : kEditedKinds) {
                if (!at.field.refersTo.contains(target))
                    continue;
                if (names[size_t(kindIndex(target))].contains(text))
                    return;
                what.append(kindInfo(target).name.toString());
            }
            found(
                at.key(),
                u"names no %1 page \"%2\""_s.arg(what.join(u" or "_s), QString::fromLatin1(text)));
        });
        return findings;
    };
    QList<Finding> findings;
    for (const QList<Finding> &found :
         QtConcurrent::blockingMapped<QList<QList<Finding>>>(positions, pageFindings))
        findings += found;

    // A page the file's end cuts short is lost on the next save; the program does not load it.
    if (!trailing.isEmpty()) {
        findings.append(
            { TableText::kindName(quint8(trailing[0])), TableText::recordName(trailing), u"page"_s,
              u"cut short: the file ends %1 bytes into this page"_s.arg(trailing.size()),
              acceptedKind(quint8(trailing[0])), -1 });
    }
    return findings;
}
