#include "references.h"

#include "tableerror.h"

#include <QStringList>
#include <QtConcurrent/QtConcurrentMap>

using namespace Qt::StringLiterals;

QList<PageReference> pageReferences(PageKind kind, const PageBody &body)
{
    QList<PageReference> references;
    TableText::forEachField(kind, body.values, [&](const TableText::FieldAt &at) {
        if (at.field.refersTo.isEmpty() || textOf(at.value).isEmpty())
            return;
        references.append(
            { at.field.refersTo, textOf(at.value), { { at.steps.begin(), at.steps.end() } } });
    });
    return references;
}

namespace {

// What a scan for references needs to know of a layout: whether a field of it names a page,
// and the bytes an entry takes when that is the same in every page (-1 otherwise).
struct Shape
{
    bool refers = false;
    qsizetype size = 0;
};

qsizetype fieldSize(FieldEncoding encoding)
{
    switch (encoding) {
    case FieldEncoding::String:
        return -1;
    case FieldEncoding::Int:
    case FieldEncoding::Float:
    case FieldEncoding::IntBits:
        return 4;
    case FieldEncoding::Word:
    case FieldEncoding::WordBits:
        return 2;
    case FieldEncoding::Byte:
    case FieldEncoding::ByteBits:
    case FieldEncoding::Choice:
        return 1;
    }
    return -1;
}

Shape shapeOf(const Layout &layout)
{
    thread_local QHash<const Layout *, Shape> known;
    if (const auto found = known.constFind(&layout); found != known.cend())
        return *found;
    Shape shape;
    const auto add = [&](qsizetype size) {
        shape.size = shape.size < 0 || size < 0 ? -1 : shape.size + size;
    };
    for (const Item &item : layout.items) {
        if (item.present)
            shape.size = -1;
        if (!item.isBlock()) {
            shape.refers = shape.refers || !item.field.refersTo.isEmpty();
            add(fieldSize(item.field.encoding));
            continue;
        }
        const Shape block = shapeOf(*item.block);
        shape.refers = shape.refers || block.refers;
        add(item.sort == Item::Sort::FixedBlock && block.size >= 0 ? item.count * block.size : -1);
    }
    return known[&layout] = shape;
}

// Reads the entry as readValues does, with the same faults, but steps over the blocks whose
// fields name no page and have the same size in every page: most of a large page.
void scanValues(const Layout &layout, RecordReader &reader, Values &values,
                std::vector<TableText::FieldAt::Step> &steps, QList<PageReference> &found)
{
    values.items.resize(size_t(layout.size()));
    fillItems(layout, values, [&](const ItemStep &step) {
        const Item &item = step.item;
        if (!item.isBlock()) {
            FieldValue &value = values.field(step.index);
            value = readField(item.field, reader);
            if (!item.field.refersTo.isEmpty() && !textOf(value).isEmpty()) {
                steps.push_back({ &item, -1 });
                found.append({ item.field.refersTo, textOf(value), { steps } });
                steps.pop_back();
            }
            return;
        }
        const int count = entriesToRead(step, values);
        const Shape shape = shapeOf(*item.block);
        if (!shape.refers && shape.size >= 0) {
            reader.Skip(qsizetype(count) * shape.size);
            return;
        }
        for (int entry = 0; entry < count; ++entry) {
            steps.push_back({ &item, item.isList() ? qsizetype(entry) : -1 });
            Values entryValues;
            scanValues(*item.block, reader, entryValues, steps, found);
            steps.pop_back();
        }
    });
}

} // namespace

std::optional<QList<PageReference>> readableReferences(const QByteArray &record)
{
    if (record.size() < RecordHeader::size)
        return std::nullopt;
    const std::optional<PageKind> kind = acceptedKind(quint8(record[0]));
    if (!kind || !isEdited(*kind))
        return std::nullopt;
    const PageFormat &format = pageFormat(*kind);
    try {
        RecordReader reader(record);
        if (reader.version() != format.info().version)
            return std::nullopt;
        QList<PageReference> found;
        Values values;
        std::vector<TableText::FieldAt::Step> steps;
        scanValues(*format.layout, reader, values, steps, found);
        return found;
    } catch (const TableError &) {
        return std::nullopt;
    }
}

namespace {

int renameIn(const Layout &layout, Values &values, PageKind target, QByteArrayView oldName,
             const QByteArray &newName)
{
    int renamed = 0;
    walkItems(layout, values, [&](const ItemStep &step) {
        const Item &item = step.item;
        if (step.role == ItemStep::Role::Block) {
            for (Values &entry : values.entries(step.index))
                renamed += renameIn(*item.block, entry, target, oldName, newName);
        } else if (item.field.refersTo.contains(target) && !oldName.isEmpty() &&
                   textOf(values.field(step.index)) == oldName) {
            values.field(step.index) = newName;
            ++renamed;
        }
    });
    return renamed;
}

} // namespace

int renameReferences(PageKind kind, PageBody &body, PageKind target, QByteArrayView oldName,
                     const QByteArray &newName)
{
    return renameIn(*pageFormat(kind).layout, body.values, target, oldName, newName);
}

QString kindNames(KindSet kinds)
{
    QStringList names;
    for (const PageKind kind : kEditedKinds)
        if (kinds.contains(kind))
            names.append(kindInfo(kind).name.toString());
    return names.join(u" or "_s);
}

QString noPageNamed(KindSet kinds, const QString &name)
{
    return u"No %1 page is named \"%2\""_s.arg(kindNames(kinds), name);
}

QList<std::optional<QList<PageReference>>> readableReferences(const QList<QByteArray> &records)
{
    using Found = std::optional<QList<PageReference>>;
    return QtConcurrent::blockingMapped<QList<Found>>(
        records, [](const QByteArray &record) -> Found { return readableReferences(record); });
}

void ReferenceIndex::setPage(Page page, const QByteArray &name, QList<PageReference> references)
{
    QHash<int, Entry> &pages = m_pages[slot(page.kind)];
    if (const auto known = pages.constFind(page.id); known != pages.cend())
        forget(page, *known);
    ++m_named[slot(page.kind)][name];
    QList<QByteArrayView> held;
    for (const PageReference &reference : references) {
        if (held.contains(reference.name))
            continue;
        held.append(reference.name);
        m_holders[reference.name].append(page);
    }
    pages.insert(page.id, { name, std::move(references) });
}

void ReferenceIndex::forget(Page page, const Entry &entry)
{
    QHash<QByteArray, int> &named = m_named[slot(page.kind)];
    if (const auto count = named.find(entry.name); count != named.end() && --*count == 0)
        named.erase(count);
    for (const PageReference &reference : entry.references) {
        const auto holders = m_holders.find(reference.name);
        if (holders == m_holders.end())
            continue; // a name held twice by this page: gone with the first
        holders->removeOne(page);
        if (holders->isEmpty())
            m_holders.erase(holders);
    }
}

void ReferenceIndex::removePage(Page page)
{
    QHash<int, Entry> &pages = m_pages[slot(page.kind)];
    const auto known = pages.find(page.id);
    if (known == pages.end())
        return;
    forget(page, *known);
    pages.erase(known);
}

void ReferenceIndex::removeKind(PageKind kind)
{
    QHash<int, Entry> &pages = m_pages[slot(kind)];
    for (auto page = pages.cbegin(); page != pages.cend(); ++page)
        forget({ kind, page.key() }, page.value());
    pages.clear();
}

int ReferenceIndex::pagesNamed(PageKind kind, const QByteArray &name) const
{
    return m_named[slot(kind)].value(name);
}

bool ReferenceIndex::isNamed(KindSet kinds, const QByteArray &name) const
{
    for (const PageKind kind : kEditedKinds)
        if (kinds.contains(kind) && m_named[slot(kind)].contains(name))
            return true;
    return false;
}

QList<ReferenceIndex::Use> ReferenceIndex::usesOf(PageKind kind, const QByteArray &name) const
{
    QList<Use> uses;
    for (const Page &page : m_holders.value(name))
        for (const PageReference &reference : referencesOf(page))
            if (reference.names(kind, name))
                uses.append({ page, &reference });
    return uses;
}

int ReferenceIndex::usersOf(PageKind kind, const QByteArray &name) const
{
    int users = 0;
    for (const Page &page : m_holders.value(name)) {
        const QList<PageReference> &references = referencesOf(page);
        users += std::any_of(references.cbegin(), references.cend(),
                             [&](const PageReference &r) { return r.names(kind, name); });
    }
    return users;
}

const QList<PageReference> &ReferenceIndex::referencesOf(Page page) const
{
    static const QList<PageReference> none;
    const QHash<int, Entry> &pages = m_pages[slot(page.kind)];
    const auto known = pages.constFind(page.id);
    return known == pages.cend() ? none : known->references;
}

bool ReferenceIndex::contains(Page page) const
{
    return m_pages[slot(page.kind)].contains(page.id);
}
