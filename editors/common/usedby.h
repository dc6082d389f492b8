#pragma once

#include "editorwindow.h"
#include "references.h"

#include <optional>

class PageLists;
class QTreeWidget;

// The fields of other pages that name a page: one row each (kind, page, field), the field
// by its captions as the windows show them, with its key as hint. Double-click or Enter
// opens the page of a row.
class UsedByWindow : public EditorWindow
{
    Q_OBJECT

public:
    UsedByWindow(PageLists &lists, UserDialogs &dialogs, QWidget *parent);

    // Fills the list afresh.
    void showUses(PageKind kind, const QByteArray &name);
    // showUses, then the window, modally: the page the user opens, if any.
    std::optional<ReferenceIndex::Page> pick(PageKind kind, const QByteArray &name);
    QTreeWidget &list() const { return *m_list; }

private:
    PageLists &m_lists;
    QTreeWidget *m_list;
    std::optional<ReferenceIndex::Page> m_picked;
};
