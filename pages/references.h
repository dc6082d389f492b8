#pragma once

#include "tabletext.h"

#include <QHash>
#include <QList>

#include <array>
#include <vector>

// The names a table's pages give each other: every field declared to name a page, found by
// one walk over the layouts, and an index of them by name that the editors, Check table and
// `vktable refs`, `rename` and `diff` share.

// Where a field lies in a page: the items and list entries from the page body down to it.
struct FieldPath
{
    std::vector<TableText::FieldAt::Step> steps;

    // Its key in dump ("weapons[0].gunpoint_names[0]").
    QString key() const { return TableText::keyOf(steps); }
    QString captions() const { return TableText::captionsOf(steps); }
};

// A field that names a page, with the name it holds (never empty: an empty name names nothing).
struct PageReference
{
    KindSet targets;
    QByteArray name;
    FieldPath path;

    bool names(PageKind kind, QByteArrayView pageName) const
    {
        return targets.contains(kind) && name == pageName;
    }
};

// The references a page holds, in the order of its fields.
QList<PageReference> pageReferences(PageKind kind, const PageBody &body);
// The same of a whole record, or std::nullopt for a page the program cannot read (another
// version, a damaged page, a kind it does not edit).
std::optional<QList<PageReference>> readableReferences(const QByteArray &record);
// The same of many records, on every core.
QList<std::optional<QList<PageReference>>> readableReferences(const QList<QByteArray> &records);

// Writes newName into every field of the page that names the page of kind `target` called
// oldName; returns how many fields changed.
int renameReferences(PageKind kind, PageBody &body, PageKind target, QByteArrayView oldName,
                     const QByteArray &newName);

// "sound", "weapon or generic": the kinds a reference names, as messages say them.
QString kindNames(KindSet kinds);
// What a field that names no page of its kinds is told: "No sound page is named "x"".
QString noPageNamed(KindSet kinds, const QString &name);

// The table's page names per kind and its references by the name they hold. A page is known
// by its kind and an id its owner gives it (the editors use its slot, the command line its
// place in the file).
class ReferenceIndex
{
public:
    struct Page
    {
        PageKind kind;
        int id;
        friend bool operator==(const Page &, const Page &) = default;
    };
    // One field of one page that names a page.
    struct Use
    {
        Page page;
        const PageReference *reference;
    };

    // Sets the page's name and references, replacing what it had.
    void setPage(Page page, const QByteArray &name, QList<PageReference> references);
    void removePage(Page page);
    // Every page of the kind.
    void removeKind(PageKind kind);

    // How many pages of the kind have the name.
    int pagesNamed(PageKind kind, const QByteArray &name) const;
    // Whether a page of one of the kinds has the name.
    bool isNamed(KindSet kinds, const QByteArray &name) const;
    // Every field that names the page of kind called name, page by page in the order they
    // were set, fields in page order.
    QList<Use> usesOf(PageKind kind, const QByteArray &name) const;
    // How many pages name it.
    int usersOf(PageKind kind, const QByteArray &name) const;
    const QList<PageReference> &referencesOf(Page page) const;
    bool contains(Page page) const;

private:
    struct Entry
    {
        QByteArray name;
        QList<PageReference> references;
    };
    static size_t slot(PageKind kind) { return size_t(kindIndex(kind)); }
    void forget(Page page, const Entry &entry);

    std::array<QHash<int, Entry>, kEditedKinds.size()> m_pages;
    std::array<QHash<QByteArray, int>, kEditedKinds.size()> m_named;
    // The pages that hold a name in some reference, once per page and name.
    QHash<QByteArray, QList<Page>> m_holders;
};
