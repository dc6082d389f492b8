#include "diff.h"

#include "recordwalk.h"
#include "tabletext.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <map>

using namespace Qt::StringLiterals;

namespace {

// A page as matched: by kind and the name the program lists it by. Only the pages that differ
// are decoded.
struct Page
{
    QString kind;
    QByteArray name;
    QByteArray record;
};

QList<Page> pagesOf(const QByteArray &table, QByteArray *trailing)
{
    QList<Page> pages;
    walkRecords(QByteArrayView(table), [&](const TableRecord &record) {
        if (record.whole)
            pages.append({ TableText::kindName(record.kindByte), record.name.toByteArray(),
                           table.sliced(record.offset, record.size()) });
        else
            *trailing = table.sliced(record.offset);
    });
    return pages;
}

QString shown(const QJsonValue &value)
{
    const QByteArray list = QJsonDocument(QJsonArray { value }).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(list.mid(1, list.size() - 2));
}

QString header(const Page &page)
{
    return u"%1 \"%2\""_s.arg(page.kind, TableText::escapedText(page.name));
}

// Each field that differs, in the order of the first page's fields, then those only the
// second has.
void fieldChanges(const Page &a, const Page &b, QStringList &lines)
{
    const std::optional<TableText::DecodedPage> decodedA = TableText::decodePage(a.record);
    const std::optional<TableText::DecodedPage> decodedB = TableText::decodePage(b.record);
    if (!decodedA || !decodedB) {
        lines.append(u"%1: raw: %2 bytes -> %3 bytes, not the same"_s.arg(header(a))
                         .arg(a.record.size())
                         .arg(b.record.size()));
        return;
    }
    const QList<std::pair<QString, QJsonValue>> before = TableText::flatFields(*decodedA);
    QList<std::pair<QString, QJsonValue>> after = TableText::flatFields(*decodedB);
    QHash<QString, qsizetype> at;
    for (qsizetype i = 0; i < after.size(); ++i)
        at.insert(after[i].first, i);
    QList<bool> seen(after.size(), false);
    for (const auto &[key, value] : before) {
        const auto found = at.constFind(key);
        if (found == at.cend()) {
            lines.append(u"%1: %2: %3 -> (none)"_s.arg(header(a), key, shown(value)));
            continue;
        }
        seen[*found] = true;
        if (after[*found].second != value)
            lines.append(u"%1: %2: %3 -> %4"_s.arg(header(a), key, shown(value),
                                                   shown(after[*found].second)));
    }
    for (qsizetype i = 0; i < after.size(); ++i)
        if (!seen[i])
            lines.append(
                u"%1: %2: (none) -> %3"_s.arg(header(b), after[i].first, shown(after[i].second)));
}

} // namespace

QStringList diffTables(const QByteArray &a, const QByteArray &b)
{
    QByteArray trailingA, trailingB;
    const QList<Page> pagesA = pagesOf(a, &trailingA);
    const QList<Page> pagesB = pagesOf(b, &trailingB);

    // Pages match by kind and name, the n-th of a name in one table with the n-th in the other.
    std::map<std::pair<QString, QByteArray>, QList<qsizetype>> unmatched;
    for (qsizetype i = 0; i < pagesB.size(); ++i)
        unmatched[{ pagesB[i].kind, pagesB[i].name }].append(i);
    QList<bool> matchedB(pagesB.size(), false);

    // Lines by kind, in the order the kinds first appear.
    QStringList kinds;
    QHash<QString, QStringList> byKind;
    const auto linesOf = [&](const QString &kind) -> QStringList & {
        if (!kinds.contains(kind))
            kinds.append(kind);
        return byKind[kind];
    };
    for (const Page &page : pagesA) {
        QList<qsizetype> &candidates = unmatched[{ page.kind, page.name }];
        QStringList &lines = linesOf(page.kind);
        if (candidates.isEmpty()) {
            lines.append(header(page) + u": removed"_s);
            continue;
        }
        const Page &other = pagesB[candidates.takeFirst()];
        matchedB[&other - pagesB.constData()] = true;
        if (other.record != page.record)
            fieldChanges(page, other, lines);
    }
    for (qsizetype i = 0; i < pagesB.size(); ++i)
        if (!matchedB[i])
            linesOf(pagesB[i].kind).append(header(pagesB[i]) + u": added"_s);

    QStringList all;
    for (const QString &kind : std::as_const(kinds))
        all += byKind[kind];
    if (trailingA != trailingB)
        all.append(
            u"bytes after the last page: %1 -> %2 bytes, not the same"_s.arg(trailingA.size())
                .arg(trailingB.size()));
    return all;
}
