#include "tablereferences.h"

#include "recordwalk.h"
#include "tableerror.h"

#include <map>

using namespace Qt::StringLiterals;

namespace {

QString pageLine(PageKind kind, QByteArrayView name)
{
    return u"%1 \"%2\""_s.arg(kindInfo(kind).name, TableText::escapedText(name));
}

// A table's records, each page read once to index its name and references; a page's id is its
// place among the records.
struct ReadTable
{
    QList<QByteArrayView> records;
    QByteArrayView cutShort; // a last record the file's end cuts short, kept as it is
    ReferenceIndex index;
    QStringList unreadable;

    QByteArrayView nameOf(int id) const { return describeRecord(records[id]).name; }
};

ReadTable readTable(const QByteArray &table)
{
    ReadTable read;
    walkRecords(QByteArrayView(table), [&](const TableRecord &record) {
        if (!record.whole) {
            read.cutShort = QByteArrayView(table).sliced(record.offset);
            return;
        }
        const int id = int(read.records.size());
        read.records.append(QByteArrayView(table).sliced(record.offset, record.size()));
        const bool searched = record.sort == TableRecord::Sort::Page ||
            record.sort == TableRecord::Sort::OtherVersion;
        if (!searched || !isEdited(*record.kind))
            return;
        QString why;
        const std::optional<PageBody> body =
            PageBody::fromRecord(pageFormat(*record.kind), read.records.last().toByteArray(), &why);
        if (!body)
            read.unreadable.append(u"%1 (%2)"_s.arg(pageLine(*record.kind, record.name), why));
        else if (record.isLoadedPage())
            read.index.setPage({ *record.kind, id }, record.name.toByteArray(),
                               pageReferences(*record.kind, *body));
    });
    return read;
}

} // namespace

TableUses tableUsesOf(const QByteArray &table, PageKind kind, const QByteArray &name)
{
    const ReadTable read = readTable(table);
    TableUses found { {}, read.unreadable };
    for (const ReferenceIndex::Use &use : read.index.usesOf(kind, name))
        found.uses.append(
            { use.page.kind, read.nameOf(use.page.id).toByteArray(), use.reference->path.key() });
    return found;
}

TableRename renameInTable(const QByteArray &table, PageKind kind, const QByteArray &oldName,
                          const QByteArray &newName)
{
    const ReadTable read = readTable(table);
    TableRename renamed;
    renamed.unreadable = read.unreadable;
    renamed.named = read.index.pagesNamed(kind, oldName);
    if (renamed.named == 0)
        throw TableError(u"no %1 page is named \"%2\""_s.arg(kindInfo(kind).name,
                                                             TableText::escapedText(oldName)));
    if (newName.isEmpty())
        throw TableError(u"the new name is empty: a page needs a name"_s);
    if (newName == oldName)
        throw TableError(u"the new name is the old one: nothing to rename"_s);
    // Renaming the page to a name its kind already has would make two pages of one name; where
    // the name is shared already, the pages keep theirs and only the references move.
    if (renamed.named == 1 && read.index.pagesNamed(kind, newName) > 0)
        throw TableError(u"another %1 page is already named \"%2\""_s.arg(
            kindInfo(kind).name, TableText::escapedText(newName)));

    // The pages to write anew, by id: the page itself and every page that names it.
    std::map<int, bool> changing;
    if (renamed.named == 1)
        for (int id = 0; id < read.records.size(); ++id)
            if (read.index.contains({ kind, id }) && read.nameOf(id) == oldName)
                changing[id] = true;
    for (const ReferenceIndex::Use &use : read.index.usesOf(kind, oldName))
        changing.try_emplace(use.page.id, false);

    std::map<int, QByteArray> written;
    for (const auto &[id, isPage] : changing) {
        const QByteArray record = read.records[id].toByteArray();
        const PageKind pageKind = *describeRecord(record).kind;
        const PageFormat &format = pageFormat(pageKind);
        PageBody body = *PageBody::fromRecord(format, record);
        // Only a page that comes back byte for byte can be rewritten without changing more.
        if (body.record(format) != record) {
            if (isPage)
                throw TableError(
                    u"%1 would not come back byte for byte: it cannot be renamed"_s.arg(
                        pageLine(pageKind, oldName)));
            renamed.unreadable.append(u"%1 (it would not come back byte for byte)"_s.arg(
                pageLine(pageKind, read.nameOf(id))));
            continue;
        }
        for (const PageReference &reference : read.index.referencesOf({ pageKind, id })) {
            if (!reference.names(kind, oldName))
                continue;
            for (const PageKind other : kEditedKinds)
                if (other != kind && reference.targets.contains(other) &&
                    (read.index.pagesNamed(other, oldName) > 0 ||
                     read.index.pagesNamed(other, newName) > 0)) {
                    ++renamed.ambiguous;
                    break;
                }
        }
        if (isPage)
            body.values.field(format.nameItem) = newName;
        const int fields = renameReferences(pageKind, body, kind, oldName, newName);
        renamed.references += fields;
        renamed.pages += fields > 0;
        written[id] = body.record(format);
    }

    renamed.table.reserve(table.size());
    for (int id = 0; id < read.records.size(); ++id) {
        const auto changed = written.find(id);
        renamed.table += changed == written.end() ? read.records[id] : changed->second;
    }
    renamed.table += read.cutShort;
    return renamed;
}
