#pragma once

#include "pagekinds.h"

#include <span>

class PageEditor;
class PageLists;
class QWidget;
class SharedDialogs;
class UserDialogs;

// The editor of every kind that has one: the one place a new kind's editor is entered.
using EditorFactory = PageEditor *(*)(PageLists &lists, UserDialogs &dialogs,
                                      SharedDialogs &shared, QWidget *parent);

struct KindEditor
{
    PageKind kind;
    EditorFactory make;
};

std::span<const KindEditor> kindEditors();
// The kind's entry; nullptr for a kind that has no editor.
const KindEditor *kindEditor(PageKind kind);
