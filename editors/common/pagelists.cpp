#include "pagelists.h"

#include "pageeditor.h"
#include "pagelistmodel.h"
#include "recordwalk.h"
#include "tableerror.h"
#include "workspace.h"

#include <QConcatenateTablesProxyModel>

PageLists::PageLists(Workspace &workspace, QObject *parent)
    : ReferenceTargets(parent)
    , m_workspace(workspace)
{
    for (const PageKind kind : kEditedKinds) {
        m_models[kindIndex(kind)] = new PageListModel(workspace, kind, this);
        m_stale[kindIndex(kind)] = true;
        follow(kind);
    }
}

PageLists::~PageLists() = default;

void PageLists::follow(PageKind kind)
{
    PageListModel *model = m_models[kindIndex(kind)];
    const auto indexed = [this, kind] { return !m_stale[kindIndex(kind)]; };
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [=, this](const QModelIndex &, int first, int last) {
                if (indexed())
                    for (int row = first; row <= last; ++row)
                        readPage(kind, row);
                emit changed();
            });
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [=, this](const QModelIndex &, int first, int last) {
                if (indexed())
                    for (int row = first; row <= last; ++row) {
                        m_index.removePage({ kind, model->slot(row) });
                        m_unreadable[kindIndex(kind)].remove(model->slot(row));
                    }
            });
    connect(model, &QAbstractItemModel::rowsRemoved, this, &ReferenceTargets::changed);
    connect(model, &QAbstractItemModel::dataChanged, this,
            [=, this](const QModelIndex &first, const QModelIndex &last, const QList<int> &roles) {
                if (!roles.isEmpty() && !roles.contains(Qt::DisplayRole))
                    return;
                if (indexed())
                    for (int row = first.row(); row <= last.row(); ++row) {
                        const ReferenceIndex::Page page { kind, model->slot(row) };
                        m_index.setPage(page, model->name(row).toByteArray(),
                                        m_index.referencesOf(page));
                    }
                emit changed();
            });
    connect(model, &PageListModel::recordChanged, this, [=, this](int row) {
        if (indexed())
            readPage(kind, row);
        emit changed();
    });
    connect(model, &QAbstractItemModel::modelReset, this, [this, kind] {
        m_stale[kindIndex(kind)] = true;
        emit changed();
    });
}

void PageLists::setReferences(PageKind kind, int slot, const QByteArray &name,
                              std::optional<QList<PageReference>> references) const
{
    // A page that cannot be read names nothing known; its editor says why when it is shown.
    if (references)
        m_unreadable[kindIndex(kind)].remove(slot);
    else
        m_unreadable[kindIndex(kind)].insert(slot);
    m_index.setPage({ kind, slot }, name, std::move(references).value_or(QList<PageReference>()));
}

void PageLists::readPage(PageKind kind, int row) const
{
    const PageListModel &list = model(kind);
    std::optional<QList<PageReference>> references;
    try {
        references = readableReferences(m_workspace.readPage(kind, row));
    } catch (const TableError &) { }
    setReferences(kind, list.slot(row), list.name(row).toByteArray(), std::move(references));
}

const QSet<int> &PageLists::unreadable(PageKind kind) const
{
    ensureIndexed();
    return m_unreadable[kindIndex(kind)];
}

void PageLists::reindex(PageKind kind) const
{
    m_stale[kindIndex(kind)] = false;
    const PageListModel &list = model(kind);
    const int rows = list.rowCount();
    m_index.removeKind(kind);
    m_unreadable[kindIndex(kind)].clear();
    QList<QByteArray> records;
    try {
        records = m_workspace.records(kind);
    } catch (const TableError &) {
        records.clear();
    }
    QList<std::optional<QList<PageReference>>> found = readableReferences(records);
    for (int row = 0; row < rows; ++row)
        setReferences(kind, list.slot(row), list.name(row).toByteArray(),
                      row < found.size() ? std::move(found[row]) : std::nullopt);
}

void PageLists::ensureIndexed() const
{
    for (const PageKind kind : kEditedKinds)
        if (m_stale[kindIndex(kind)])
            reindex(kind);
}

const ReferenceIndex &PageLists::index() const
{
    ensureIndexed();
    return m_index;
}

int PageLists::positionOf(PageKind kind, int slot) const
{
    return model(kind).rowOf(slot);
}

int PageLists::positionOf(PageKind kind, const QByteArray &name) const
{
    const PageListModel &list = model(kind);
    for (int row = 0; row < list.rowCount(); ++row)
        if (list.name(row) == name)
            return row;
    return -1;
}

PageEditor *PageLists::editor(PageKind kind)
{
    PageEditor *&made = m_editors[kindIndex(kind)];
    if (!made && m_makeEditor)
        made = m_makeEditor(kind);
    return made;
}

void PageLists::openPage(PageKind kind, int position, QWidget &from)
{
    if (position < 0)
        return;
    if (PageEditor *target = editor(kind))
        target->openFrom(position, from);
}

QAbstractItemModel &PageLists::names(KindSet kinds)
{
    for (const PageKind kind : kEditedKinds)
        if (kinds == KindSet { kind })
            return model(kind);
    for (const auto &[set, joined] : m_joined)
        if (set == kinds)
            return *joined;
    auto *joined = new QConcatenateTablesProxyModel(this);
    for (const PageKind kind : kEditedKinds)
        if (kinds.contains(kind))
            joined->addSourceModel(&model(kind));
    m_joined.emplace_back(kinds, joined);
    return *joined;
}

bool PageLists::isNamed(KindSet kinds, const QByteArray &name) const
{
    return index().isNamed(kinds, name);
}

void PageLists::goTo(KindSet kinds, const QByteArray &name, QWidget &from)
{
    for (const PageKind kind : kEditedKinds) {
        if (!kinds.contains(kind))
            continue;
        if (const int position = positionOf(kind, name); position >= 0) {
            openPage(kind, position, from);
            return;
        }
    }
}
