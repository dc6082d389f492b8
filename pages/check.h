#pragma once

#include "pagekinds.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class RecordFile;

// What `vktable check` finds in a table file.
struct Finding
{
    QString kind;
    QByteArray name;
    QString field; // its key in `vktable dump`, or "page"
    // The same as the windows show it: "Ship weapons #1 > Gunpoint 1 > Weapon name", or "Page".
    QString captions;
    QString problem;
    // The page's kind; none for a last piece, cut short, whose kind byte names no kind.
    std::optional<PageKind> pageKind;
    // The page's place among the pages of its kind that the program loads, counted in file
    // order, or -1 for a page it does not load. In a table the program writes, whose pages
    // come in list order, that is its place in the kind's list.
    int position = -1;

    // KIND "NAME": field: problem, with the name as the text form spells it (escapedText)
    QString line() const;
};

// The faults of a table, in the file's page order: names that name no page of the kinds their
// field refers to, page names used twice within a kind, pages of another version or damaged,
// and a last page that the file's end cuts short. Within a page, in the order of its fields; a
// field is its key in `vktable dump`. Names compare byte for byte; an empty name names nothing.
QList<Finding> checkTable(const QByteArray &table);
// The same of a table file, each finding handed to found as it is made: memory holds the names
// of the pages and a batch of pages at a time.
using FindingSink = std::function<void(const Finding &)>;
void checkTable(RecordFile &table, const FindingSink &found);
// The same of a table's whole records, in file order, and the piece of a page after them that
// the file's end cuts short, if any.
QList<Finding> checkRecords(const QList<QByteArrayView> &records, QByteArrayView cutShort = {});
