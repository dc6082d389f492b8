#pragma once

#include "references.h"

#include <QStringList>

// `vktable refs` and `vktable rename`: the references of a whole table file's bytes, found and
// renamed by the same walk and index the editors' "Used by" and "Rename all" use.

// A field that names a page, with the page that holds it.
struct TableUse
{
    PageKind kind;
    QByteArray pageName;
    QString key; // the field's key in dump
};

struct TableUses
{
    // In the order of the pages in the file, fields in page order.
    QList<TableUse> uses;
    // Pages of an edited kind that could not be read (another version, damaged), so could not
    // be searched: KIND "NAME" (why).
    QStringList unreadable;
};

// Every field of the pages the program loads that names a page of kind called name, whether or
// not such a page exists.
TableUses tableUsesOf(const QByteArray &table, PageKind kind, const QByteArray &name);

struct TableRename
{
    QByteArray table; // the whole table, every record not renamed byte for byte as it was
    // How many pages of the kind were named oldName: with more than one the name is shared,
    // no page is renamed and only the references are.
    int named = 0;
    int references = 0; // fields renamed
    int pages = 0; // pages that hold them
    // Renamed fields that may name a page of another kind instead: a field that names a weapon
    // or generic page, where the other kind has a page called oldName or newName.
    int ambiguous = 0;
    // Pages that could not be read and so kept their bytes, as TableUses says them.
    QStringList unreadable;
};

// The table with the page of kind called oldName, and every reference to it, renamed newName.
// Throws TableError, and nothing is made, when no page of the kind is named oldName, newName is
// empty or oldName, or the page would be renamed to a name another page of its kind has.
TableRename renameInTable(const QByteArray &table, PageKind kind, const QByteArray &oldName,
                          const QByteArray &newName);
