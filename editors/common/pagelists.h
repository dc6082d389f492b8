#pragma once

#include "references.h"
#include "referencetargets.h"

#include <QSet>

#include <array>
#include <functional>

class PageEditor;
class PageListModel;
class QConcatenateTablesProxyModel;
class Workspace;

// The page lists of every kind over one workspace, and what the pages say of each other: the
// names they give each other, indexed by page slot and kept by the lists' own change signals,
// never rebuilt for a question. Each editor lists its kind here, so that a field of one kind
// can send the user to a page of another.
class PageLists : public ReferenceTargets
{
    Q_OBJECT

public:
    explicit PageLists(Workspace &workspace, QObject *parent = nullptr);
    ~PageLists() override;

    Workspace &workspace() const { return m_workspace; }
    PageListModel &model(PageKind kind) const { return *m_models[kindIndex(kind)]; }
    // The index, after the lists' changes so far.
    const ReferenceIndex &index() const;

    // The list position of the page with this slot, or -1 when it is not listed.
    int positionOf(PageKind kind, int slot) const;
    // The first page of the kind with this name, or -1.
    int positionOf(PageKind kind, const QByteArray &name) const;

    // The pages that could not be read, so whose references are not known: by kind, their slots.
    const QSet<int> &unreadable(PageKind kind) const;

    void setEditor(PageKind kind, PageEditor *editor) { m_editors[kindIndex(kind)] = editor; }
    // The editors are made when first needed; the maker makes a kind's, or gives nullptr for a
    // kind without one.
    void setEditorMaker(std::function<PageEditor *(PageKind)> make)
    {
        m_makeEditor = std::move(make);
    }
    // The kind's editor, made now if it was not yet.
    PageEditor *editor(PageKind kind);
    // The kind's editor if it was made; one not made yet has nothing typed to ask about.
    PageEditor *madeEditor(PageKind kind) const { return m_editors[kindIndex(kind)]; }
    // Opens the page in its editor: in place when that editor is `from`'s window, modally over
    // `from` otherwise; an editor already open beneath says so instead.
    void openPage(PageKind kind, int position, QWidget &from);

    QAbstractItemModel &names(KindSet kinds) override;
    bool isNamed(KindSet kinds, const QByteArray &name) const override;
    void goTo(KindSet kinds, const QByteArray &name, QWidget &from) override;

private:
    void follow(PageKind kind);
    void readPage(PageKind kind, int row) const;
    void reindex(PageKind kind) const;
    void ensureIndexed() const;

    Workspace &m_workspace;
    std::array<PageListModel *, kEditedKinds.size()> m_models {};
    std::array<PageEditor *, kEditedKinds.size()> m_editors {};
    std::function<PageEditor *(PageKind)> m_makeEditor;
    std::vector<std::pair<KindSet, QConcatenateTablesProxyModel *>> m_joined;
    // Kinds whose list was replaced since they were last indexed: indexed at the next question,
    // so that a load reads each page once, and only when something asks.
    mutable std::array<bool, kEditedKinds.size()> m_stale {};
    mutable ReferenceIndex m_index;
    mutable std::array<QSet<int>, kEditedKinds.size()> m_unreadable;
    void setReferences(PageKind kind, int slot, const QByteArray &name,
                       std::optional<QList<PageReference>> references) const;
};
