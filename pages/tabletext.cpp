#include "tabletext.h"

#include "jsonform.h"
#include "layoutjson.h"
#include "recordwalk.h"
#include "tableerror.h"

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

QByteArray dumpTable(const QByteArray &table)
{
    // What follows the last whole record is kept as it is.
    QList<QByteArray> records;
    QByteArray trailing;
    walkRecords(QByteArrayView(table), [&](const TableRecord &record) {
        if (record.whole)
            records.append(table.sliced(record.offset, record.size()));
        else
            trailing = table.sliced(record.offset);
    });
    // Pages are written apart, on every core, each at the depth of a member of "pages".
    const QList<QByteArray> pages =
        QtConcurrent::blockingMapped<QList<QByteArray>>(records, [](const QByteArray &record) {
            JsonText page(2);
            writePage(page, record);
            return page.text;
        });
    JsonText json;
    json.text.reserve(std::accumulate(
        pages.cbegin(), pages.cend(), qsizetype(1024),
        [](qsizetype size, const QByteArray &page) { return size + page.size() + 8; }));
    json.open('{');
    json.key(u"vktable"_s);
    json.value(kTextVersion);
    json.key(u"pages"_s);
    json.open('[');
    for (const QByteArray &page : pages)
        json.written(page);
    json.close(']');
    if (!trailing.isEmpty()) {
        json.key(u"trailing"_s);
        json.value(QString::fromLatin1(trailing.toBase64()));
    }
    json.close('}');
    json.text += '\n';
    return json.text;
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

// The records in page order, then the trailing bytes. The first fault in page order is the
// one reported, after the place in the text that `where` gives it, if any.
QByteArray joinPages(const QJsonObject &table, const QList<Built> &built,
                     const std::function<QString(qsizetype page, qsizetype at)> &where = {})
{
    QByteArray bytes;
    bytes.reserve(std::accumulate(
        built.cbegin(), built.cend(), qsizetype(0),
        [](qsizetype size, const Built &page) { return size + page.record.size(); }));
    for (qsizetype n = 0; n < built.size(); ++n) {
        const Built &page = built[n];
        if (page.fault)
            throw TableError(where ? where(n, page.at) + u": "_s + *page.fault : *page.fault);
        bytes += page.record;
    }
    if (table.contains(u"trailing"_s)) {
        const auto decoded = QByteArray::fromBase64Encoding(
            table[u"trailing"_s].toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            throw TableError(u"key \"trailing\": not base64"_s);
        bytes += *decoded;
    }
    return bytes;
}

QList<qsizetype> positions(qsizetype count)
{
    QList<qsizetype> all(count);
    std::iota(all.begin(), all.end(), 0);
    return all;
}

QJsonDocument parsed(const QByteArray &text)
{
    QJsonParseError error;
    QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        throw TableError(u"%1: not valid JSON: %2"_s.arg(JsonForm::placeOf(text, error.offset),
                                                         error.errorString()));
    if (!document.isObject())
        throw TableError(u"not a table as text: no object at its top"_s);
    return document;
}

} // namespace

QByteArray buildTable(const QByteArray &text)
{
    if (const std::optional<JsonForm::Split> split = JsonForm::splitPages(text)) {
        QJsonParseError error;
        const QJsonDocument top = QJsonDocument::fromJson(split->top, &error);
        // A key given twice at the top is said where it stands in the whole text, below.
        if (error.error == QJsonParseError::NoError && top.isObject() &&
            !JsonForm::repeatedKey(split->top)) {
            checkTop(top.object());
            // Each page parsed and built on its own core, its text dropped at once.
            std::atomic<bool> invalid = false;
            const QList<Built> built = QtConcurrent::blockingMapped<QList<Built>>(
                positions(split->pages.size()), [&](qsizetype n) -> Built {
                    QJsonParseError pageError;
                    const QJsonDocument page =
                        QJsonDocument::fromJson(split->pages[n].toByteArray(), &pageError);
                    if (pageError.error != QJsonParseError::NoError) {
                        invalid = true;
                        return {};
                    }
                    return buildPage(page.object(), n, split->pages[n]);
                });
            if (!invalid)
                return joinPages(top.object(), built, [&](qsizetype n, qsizetype at) {
                    return JsonForm::placeOf(text, split->pages[n].data() - text.data() + at);
                });
        }
    }
    // Parsed whole, for the message that says where the text goes wrong.
    const QJsonDocument document = parsed(text);
    if (const std::optional<JsonForm::Repeated> repeated = JsonForm::repeatedKey(text))
        throw TableError(u"%1: key \"%2\": given twice"_s.arg(
            JsonForm::placeOf(text, repeated->offset), repeated->path));
    return tableFromJson(document.object());
}

QByteArray tableFromJson(const QJsonObject &table)
{
    checkTop(table);
    const QJsonArray pages = table[u"pages"_s].toArray();
    return joinPages(
        table,
        QtConcurrent::blockingMapped<QList<Built>>(
            positions(pages.size()), [&pages](qsizetype n) { return buildPage(pages[n], n); }));
}

} // namespace TableText
