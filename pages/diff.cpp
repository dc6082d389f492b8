#include "diff.h"

#include "recordwalk.h"
#include "tabletext.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

#include <algorithm>

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

QString nameKey(PageKind kind)
{
    const PageFormat &format = pageFormat(kind);
    return TableText::keyOf(format.layout->items[size_t(format.nameItem)]);
}

// Each field that differs, in the order of the first page's fields, then those only the
// second has; all under the first page's name. A renamed page's name is said by its own line.
void fieldChanges(const Page &a, const Page &b, QStringList &lines, bool renamed = false)
{
    const std::optional<TableText::DecodedPage> decodedA = TableText::decodePage(a.record);
    const std::optional<TableText::DecodedPage> decodedB = TableText::decodePage(b.record);
    if (!decodedA || !decodedB) {
        lines.append(u"%1: raw: %2 bytes -> %3 bytes, not the same"_s.arg(header(a))
                         .arg(a.record.size())
                         .arg(b.record.size()));
        return;
    }
    QList<std::pair<QString, QJsonValue>> before = TableText::flatFields(*decodedA);
    QList<std::pair<QString, QJsonValue>> after = TableText::flatFields(*decodedB);
    if (renamed) {
        const auto isName = [key = nameKey(decodedA->kind)](const auto &field) {
            return field.first == key;
        };
        before.removeIf(isName);
        after.removeIf(isName);
    }
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
                u"%1: %2: (none) -> %3"_s.arg(header(a), after[i].first, shown(after[i].second)));
}

// What a page sets: each field it holds other than a new page of its kind does, as a hash of
// its kind, key and value. None for a page that does not decode.
class Settings
{
public:
    std::optional<QList<size_t>> of(const Page &page)
    {
        const std::optional<TableText::DecodedPage> decoded = TableText::decodePage(page.record);
        if (!decoded)
            return std::nullopt;
        const QHash<QString, QJsonValue> &blank = blankOf(decoded->kind);
        const QString name = nameKey(decoded->kind);
        QList<size_t> fields;
        for (const auto &[key, value] : TableText::flatFields(*decoded)) {
            const auto unset = blank.constFind(key);
            if (key != name && (unset == blank.cend() || *unset != value))
                fields.append(qHash(page.kind + u'\n' + key + u'\n' + shown(value)));
        }
        return fields;
    }

private:
    const QHash<QString, QJsonValue> &blankOf(PageKind kind)
    {
        QHash<QString, QJsonValue> &blank = m_blank[kind];
        if (blank.isEmpty()) {
            const TableText::DecodedPage page { kind, PageBody::blank(pageFormat(kind)) };
            for (const auto &[key, value] : TableText::flatFields(page))
                blank.insert(key, value);
        }
        return blank;
    }

    std::map<PageKind, QHash<QString, QJsonValue>> m_blank;
};

// Pairs pages only A has with pages of their kind only B has that are one page renamed: more
// than half of the fields each sets are the same in the other. The closest pairs first, then by
// place in A and in B, so that the pairing depends on nothing but the files.
QHash<qsizetype, qsizetype> renamedPages(const QList<Page> &pagesA, const QList<Page> &pagesB,
                                         const QList<qsizetype> &matchOfA,
                                         const QList<bool> &matchedB)
{
    QSet<QString> removedKinds, addedKinds;
    for (qsizetype i = 0; i < pagesA.size(); ++i)
        if (matchOfA[i] < 0)
            removedKinds.insert(pagesA[i].kind);
    for (qsizetype j = 0; j < pagesB.size(); ++j)
        if (!matchedB[j])
            addedKinds.insert(pagesB[j].kind);
    // Only pages of a kind that both lost and gained pages are read.
    const QSet<QString> both = removedKinds.intersect(addedKinds);
    Settings settings;
    QList<std::pair<qsizetype, QList<size_t>>> added;
    // The added pages that set each field, so that a removed page meets only those that share
    // a field with it.
    QHash<size_t, QList<qsizetype>> setters;
    for (qsizetype j = 0; j < pagesB.size(); ++j) {
        if (matchedB[j] || !both.contains(pagesB[j].kind))
            continue;
        if (std::optional<QList<size_t>> fields = settings.of(pagesB[j])) {
            for (const size_t field : std::as_const(*fields))
                setters[field].append(added.size());
            added.append({ j, std::move(*fields) });
        }
    }

    struct Pair
    {
        qint64 equal, most; // fields set alike, and set by the page that sets more
        qsizetype a, b;
    };
    QList<Pair> pairs;
    QList<qint64> equal(added.size());
    for (qsizetype i = 0; i < pagesA.size(); ++i) {
        if (matchOfA[i] >= 0 || !both.contains(pagesA[i].kind))
            continue;
        const std::optional<QList<size_t>> fields = settings.of(pagesA[i]);
        if (!fields)
            continue;
        equal.fill(0);
        for (const size_t field : *fields)
            if (const auto found = setters.constFind(field); found != setters.cend())
                for (const qsizetype n : *found)
                    ++equal[n];
        for (qsizetype n = 0; n < added.size(); ++n) {
            const auto &[b, its] = added[n];
            const qint64 most = std::max(fields->size(), its.size());
            if (pagesB[b].kind != pagesA[i].kind)
                continue;
            if (most == 0)
                pairs.append({ 1, 1, i, b }); // both set nothing but their names
            else if (2 * equal[n] > most)
                pairs.append({ equal[n], most, i, b });
        }
    }
    std::sort(pairs.begin(), pairs.end(), [](const Pair &x, const Pair &y) {
        const qint64 closer = x.equal * y.most - y.equal * x.most;
        return closer != 0 ? closer > 0 : std::pair(x.a, x.b) < std::pair(y.a, y.b);
    });
    QHash<qsizetype, qsizetype> renamed;
    QSet<qsizetype> taken;
    for (const Pair &pair : std::as_const(pairs)) {
        if (renamed.contains(pair.a) || taken.contains(pair.b))
            continue;
        renamed.insert(pair.a, pair.b);
        taken.insert(pair.b);
    }
    return renamed;
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
    QList<qsizetype> matchOfA(pagesA.size(), -1);
    for (qsizetype i = 0; i < pagesA.size(); ++i) {
        QList<qsizetype> &candidates = unmatched[{ pagesA[i].kind, pagesA[i].name }];
        if (!candidates.isEmpty()) {
            matchOfA[i] = candidates.takeFirst();
            matchedB[matchOfA[i]] = true;
        }
    }
    const QHash<qsizetype, qsizetype> renamed = renamedPages(pagesA, pagesB, matchOfA, matchedB);
    for (const qsizetype b : renamed)
        matchedB[b] = true;

    // Lines by kind, in the order the kinds first appear.
    QStringList kinds;
    QHash<QString, QStringList> byKind;
    const auto linesOf = [&](const QString &kind) -> QStringList & {
        if (!kinds.contains(kind))
            kinds.append(kind);
        return byKind[kind];
    };
    for (qsizetype i = 0; i < pagesA.size(); ++i) {
        const Page &page = pagesA[i];
        QStringList &lines = linesOf(page.kind);
        if (matchOfA[i] >= 0) {
            if (pagesB[matchOfA[i]].record != page.record)
                fieldChanges(page, pagesB[matchOfA[i]], lines);
        } else if (const auto to = renamed.constFind(i); to != renamed.cend()) {
            const Page &other = pagesB[*to];
            lines.append(
                u"%1: renamed to \"%2\""_s.arg(header(page), TableText::escapedText(other.name)));
            fieldChanges(page, other, lines, true);
        } else {
            lines.append(header(page) + u": removed"_s);
        }
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
