#include "tabletext.h"

#include "batchmap.h"
#include "jsonform.h"
#include "layoutjson.h"
#include "recordfile.h"
#include "recordwalk.h"
#include "tableerror.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QtConcurrent/QtConcurrentMap>
#include <QtEndian>

#include <atomic>
#include <numeric>

using namespace Qt::StringLiterals;

namespace TableText {

using JsonForm::JsonText;

namespace {

// The name a page's text gives it, to say which page is at fault.
std::optional<QString> pageName(const QJsonObject &page)
{
    for (const KindInfo &info : kKinds) {
        if (!isEdited(info.kind) || info.name != page[u"kind"_s].toString())
            continue;
        const PageFormat &format = pageFormat(info.kind);
        const QJsonValue name =
            page[u"fields"_s][keyOf(format.layout->items[size_t(format.nameItem)])];
        if (name.isString())
            return name.toString();
    }
    return std::nullopt;
}

void writePage(JsonText &json, const QByteArray &record)
{
    const QString kind = kindName(record.isEmpty() ? 0 : quint8(record[0]));
    const Decoding decoded = decodeRecord(record);
    json.open('{');
    json.key(u"kind"_s);
    json.value(kind);
    if (!decoded.page) {
        json.key(u"note"_s);
        json.value(decoded.reason);
        json.key(u"raw"_s);
        json.value(QString::fromLatin1(record.toBase64()));
    } else {
        json.key(u"version"_s);
        json.value(decoded.version);
        json.key(u"fields"_s);
        json.open('{');
        writeValues(json, *pageFormat(decoded.page->kind).layout, decoded.page->body.values);
        json.close('}');
    }
    json.close('}');
}

} // namespace

// A page decoded once, or why it is kept raw: it must decode to its end and come back byte for
// byte, so that a table built from its text is the file it came from.
Decoding decodeRecord(const QByteArray &record)
{
    if (record.size() < RecordHeader::size)
        return { {}, u"too short for a page header"_s };
    const std::optional<PageKind> kind = acceptedKind(quint8(record[0]));
    if (!kind)
        return { {}, u"a kind the program does not know"_s };
    if (!isEdited(*kind))
        return { {}, u"a page the program passes through"_s };
    const PageFormat &format = pageFormat(*kind);
    QString why;
    std::optional<PageBody> body = PageBody::fromRecord(format, record, &why);
    if (!body)
        return { {}, why };
    if (!body->trailing.isEmpty())
        return { {}, u"bytes left over after its body"_s };
    if (body->record(format) != record)
        return { {}, u"it would not come back byte for byte"_s };
    return { DecodedPage { *kind, std::move(*body) }, {}, format.info().version };
}

QString kindName(quint8 kindByte)
{
    const std::optional<PageKind> kind = acceptedKind(kindByte);
    return kind ? kindInfo(*kind).name.toString() : QString::number(kindByte);
}

std::optional<DecodedPage> decodePage(const QByteArray &record)
{
    return decodeRecord(record).page;
}

QByteArray pageFromJson(const QJsonObject &page)
{
    if (page.contains(u"raw"_s)) {
        const auto decoded = QByteArray::fromBase64Encoding(
            page[u"raw"_s].toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!page[u"raw"_s].isString() || !decoded)
            throw keyError(KeyPath(u"raw"_s), u"not base64"_s);
        return *decoded;
    }
    for (const QString &key : page.keys())
        if (key != u"kind"_s && key != u"version"_s && key != u"fields"_s)
            throw keyError(KeyPath(key), u"no such key"_s);
    const QString name = page[u"kind"_s].toString();
    const PageKind *kind = nullptr;
    for (const KindInfo &info : kKinds)
        if (isEdited(info.kind) && info.name == name)
            kind = &info.kind;
    if (!kind)
        throw keyError(KeyPath(u"kind"_s),
                       u"\"%1\" is not a kind with fields; a page of another kind is "
                       u"kept raw"_s.arg(name));
    const PageFormat &format = pageFormat(*kind);
    if (integerFromJson(page[u"version"_s], 0, 0xffff, KeyPath(u"version"_s)) !=
        format.info().version)
        throw keyError(KeyPath(u"version"_s),
                       u"a %1 page with fields is version %2; a page of another "
                       u"version is kept raw"_s.arg(name)
                           .arg(format.info().version));
    if (!page[u"fields"_s].isObject())
        throw keyError(KeyPath(u"fields"_s), u"not an object"_s);
    return PageBody { valuesFromJson(*format.layout, page[u"fields"_s].toObject(), {}), {} }
        .record(format);
}

namespace {

// Pages are made on every core a batch at a time: enough to keep the cores busy, few enough
// that memory holds a few megabytes of the table and its text at a time.
constexpr qint64 kBatchBytes = 2 << 20;
// Trailing bytes are read in whole groups of three, whose base64 texts join to the whole's.
constexpr qint64 kTrailingPiece = 3 << 18;

template<typename Source> void dumpRecords(Source &table, const Sink &out)
{
    JsonText json;
    json.open('{');
    json.key(u"vktable"_s);
    json.value(kTextVersion);
    json.key(u"pages"_s);
    json.open('[');
    // Each page at the depth of a member of "pages".
    BatchMap<QByteArray, QByteArray (*)(const QByteArray &)> pages([](const QByteArray &record) {
        JsonText page(2);
        writePage(page, record);
        return page.text;
    });
    QList<QByteArray> records;
    qint64 batchBytes = 0;
    const auto nextBatch = [&] {
        for (const QByteArray &page : pages.next(std::exchange(records, {})))
            json.written(page);
        out(json.text);
        json.text.clear();
        batchBytes = 0;
    };
    // What follows the last whole record is kept as it is. So is what follows a length too
    // short for a header, which no table the loader accepts holds: it says nothing of where
    // the next record starts, and a page for every byte would make the text seventy times the
    // table.
    qint64 trailing = -1;
    walkRecords(table, [&](const TableRecord &record) {
        if (trailing >= 0)
            return;
        if (!record.whole || record.sort == TableRecord::Sort::ImpossibleLength) {
            trailing = record.offset;
            return;
        }
        records.append(table.bytesAt(record.offset, record.size()).toByteArray());
        batchBytes += record.size();
        if (batchBytes >= kBatchBytes)
            nextBatch();
    });
    nextBatch(); // the last batch
    nextBatch(); // and its pages
    json.close(']');
    if (trailing >= 0) {
        json.key(u"trailing"_s);
        json.text += '"';
        for (qint64 at = trailing; at < table.size(); at += kTrailingPiece) {
            json.text += table.bytesAt(at, kTrailingPiece).toByteArray().toBase64();
            out(json.text);
            json.text.clear();
        }
        json.text += '"';
    }
    json.close('}');
    json.text += '\n';
    out(json.text);
}

} // namespace

void dumpTable(RecordFile &table, const Sink &out)
{
    dumpRecords(table, out);
}

QByteArray dumpTable(const QByteArray &table)
{
    MemoryTable source(table);
    QByteArray text;
    dumpRecords(source, [&text](QByteArrayView piece) { text += piece; });
    return text;
}

QJsonObject tableToJson(const QByteArray &table)
{
    return QJsonDocument::fromJson(dumpTable(table)).object();
}

namespace {

// A page's record, or what is wrong with it, saying which page it is, and where in the page's
// text when it was built from one.
struct Built
{
    QByteArray record;
    std::optional<QString> fault;
    qsizetype at = 0;
    bool json = true; // false for a page's text that is not valid JSON
};

// Where a key path lies in a page's text: at the key itself, or else at the nearest key that
// holds it (a list's entry has no key of its own).
qsizetype placeOfKey(QByteArrayView page, QString path)
{
    while (!path.isEmpty()) {
        for (const QString &full : { u"fields."_s + path, path })
            if (const qsizetype at = JsonForm::keyOffset(page, full); at >= 0)
                return at;
        path.truncate(std::max(path.lastIndexOf(u'.'), path.lastIndexOf(u'[')));
    }
    return 0;
}

// A page of the text, and the page's own text when there is one to point into.
Built buildPage(const QJsonValue &json, qsizetype n, QByteArrayView text = {})
{
    const QJsonObject page = json.toObject();
    const auto fault = [&](const QString &problem, qsizetype at) {
        QString where = u"page %1"_s.arg(n + 1);
        if (const std::optional<QString> name = pageName(page))
            where += u" (\"%1\")"_s.arg(*name);
        return Built { {}, u"%1: %2"_s.arg(where, problem), at };
    };
    try {
        if (!json.isObject())
            throw TableError(u"not an object"_s);
        // A parser keeps one of two values under one key without a word.
        if (const std::optional<JsonForm::Repeated> repeated = JsonForm::repeatedKey(text)) {
            QString path = repeated->path;
            if (path.startsWith(u"fields."_s))
                path.remove(0, 7);
            return fault(u"key \"%1\": given twice"_s.arg(path), repeated->offset);
        }
        return { pageFromJson(page), std::nullopt };
    } catch (const KeyFault &error) {
        return fault(error.message(), placeOfKey(text, error.path()));
    } catch (const TableError &error) {
        return fault(error.message(), 0);
    }
}

// A member of the text's "pages" list, parsed on its own, and built unless a page before it
// failed already.
Built buildMember(const JsonForm::PageReader::Member &member, bool build)
{
    QJsonParseError error;
    const QJsonDocument page = QJsonDocument::fromJson(member.text, &error);
    if (error.error != QJsonParseError::NoError)
        return { {}, std::nullopt, 0, false };
    if (!build)
        return {};
    return buildPage(page.object(), member.index, member.text);
}

void checkTop(const QJsonObject &table)
{
    for (const QString &key : table.keys())
        if (key != u"vktable"_s && key != u"pages"_s && key != u"trailing"_s)
            throw TableError(u"key \"%1\": no such key"_s.arg(key));
    // Version 1 differs in the renamed keys, which are named where they stand. Versions 1 and 2
    // wrote \xNN for every byte past printable ASCII, which reads as that byte still.
    const int version = table[u"vktable"_s].toInt();
    if (version < 1 || version > kTextVersion)
        throw TableError(u"not a table as text of a version this vktable reads: \"vktable\" "
                         u"is not 1 to %1"_s.arg(kTextVersion));
    if (!table[u"pages"_s].isArray())
        throw TableError(u"key \"pages\": not a list"_s);
}

QByteArray trailingBytes(const QJsonObject &table)
{
    if (!table.contains(u"trailing"_s))
        return {};
    const auto decoded = QByteArray::fromBase64Encoding(table[u"trailing"_s].toString().toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        throw TableError(u"key \"trailing\": not base64"_s);
    return *decoded;
}

QList<qsizetype> positions(qsizetype count)
{
    QList<qsizetype> all(count);
    std::iota(all.begin(), all.end(), 0);
    return all;
}

// "line 12, column 3: not valid JSON: ...", at the place where parsing the whole text fails.
TableError notJson(const QString &place, const QJsonParseError &error)
{
    return TableError(u"%1: not valid JSON: %2"_s.arg(place, error.errorString()));
}

// A text not laid out as dump lays it out, parsed whole for the messages about it.
QByteArray buildWhole(QIODevice &text)
{
    if (!text.seek(0))
        throw TableError(u"cannot be read: %1"_s.arg(text.errorString()));
    const QByteArray whole = text.readAll();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(whole, &error);
    if (error.error != QJsonParseError::NoError)
        throw notJson(JsonForm::placeOf(whole, error.offset), error);
    if (!document.isObject())
        throw TableError(u"not a table as text: no object at its top"_s);
    if (const std::optional<JsonForm::Repeated> repeated = JsonForm::repeatedKey(whole))
        throw TableError(u"%1: key \"%2\": given twice"_s.arg(
            JsonForm::placeOf(whole, repeated->offset), repeated->path));
    return tableFromJson(document.object());
}

} // namespace

void buildTable(QIODevice &text, const Sink &out)
{
    using Member = JsonForm::PageReader::Member;
    JsonForm::PageReader reader(text);
    // The first page that cannot be built, and where in the text; pages after it are only
    // parsed. The first that is not JSON on its own; pages after it are not even parsed.
    std::optional<std::pair<QString, qint64>> fault;
    std::optional<Member> notJsonPage;
    std::atomic<bool> building = true;
    const auto build = [&building](const Member &member) { return buildMember(member, building); };
    BatchMap<Member, decltype(build)> pages(build);
    bool written = false;
    QList<Member> members; // the batch whose pages come next
    for (bool last = false; !last && !notJsonPage;) {
        QList<Member> batch;
        for (qint64 bytes = 0; bytes < kBatchBytes;) {
            std::optional<Member> member = reader.next();
            if (!member)
                break;
            bytes += member->text.size();
            batch.append(std::move(*member));
        }
        last = batch.isEmpty();
        const QList<Built> built = pages.next(batch);
        QByteArray records;
        for (qsizetype n = 0; n < members.size() && !notJsonPage; ++n) {
            if (!built[n].json) {
                notJsonPage = members[n];
            } else if (fault) {
                continue;
            } else if (built[n].fault) {
                fault = { *built[n].fault, members[n].offset + built[n].at };
                building = false;
            } else {
                records += built[n].record;
            }
        }
        if (!records.isEmpty()) {
            out(records);
            written = true;
        }
        members = std::move(batch);
    }
    while (reader.next()) { }

    // The top's faults come first, then where the text is not JSON, then the pages' faults.
    const QByteArray outline = reader.outline();
    QJsonDocument top;
    if (reader.laidOut()) {
        QJsonParseError error;
        top = QJsonDocument::fromJson(reader.top(), &error);
        if (error.error != QJsonParseError::NoError || JsonForm::repeatedKey(reader.top()))
            top = {};
    }
    if (top.isObject())
        checkTop(top.object());
    QJsonParseError error;
    if (notJsonPage) {
        // A page that is not JSON alone is not in the whole text either: the parser fails in
        // it, or before it, as it fails in the outline through it.
        QJsonDocument::fromJson(reader.outlineThrough(*notJsonPage), &error);
        throw notJson(JsonForm::placeOf(text, reader.textOffset(error.offset, &*notJsonPage)),
                      error);
    }
    QJsonDocument::fromJson(outline, &error);
    if (error.error != QJsonParseError::NoError)
        throw notJson(JsonForm::placeOf(text, reader.textOffset(error.offset)), error);
    if (!top.isObject()) {
        // Not laid out as dump lays it out: a list of pages that are not all objects fails,
        // and where there was none, nothing was written.
        const QByteArray table = buildWhole(text);
        Q_ASSERT(!written);
        out(table);
        return;
    }
    if (fault)
        throw TableError(JsonForm::placeOf(text, fault->second) + u": "_s + fault->first);
    out(trailingBytes(top.object()));
}

QByteArray buildTable(const QByteArray &text)
{
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    QByteArray table;
    buildTable(buffer, [&table](QByteArrayView piece) { table += piece; });
    return table;
}

QByteArray tableFromJson(const QJsonObject &table)
{
    checkTop(table);
    const QJsonArray pages = table[u"pages"_s].toArray();
    const QList<Built> built = QtConcurrent::blockingMapped<QList<Built>>(
        positions(pages.size()), [&pages](qsizetype n) { return buildPage(pages[n], n); });
    QByteArray bytes;
    // The first fault in page order is the one reported.
    for (const Built &page : built) {
        if (page.fault)
            throw TableError(*page.fault);
        bytes += page.record;
    }
    return bytes + trailingBytes(table);
}

} // namespace TableText
