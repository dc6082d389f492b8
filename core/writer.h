#pragma once

#include "pagekinds.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class PageDirectory;
class RecordMap;

// Called with the whole-number percentage of pages written, each time it changes.
using SaveProgress = std::function<void(int percent)>;

// Where the records of a kind lie: the loaded table file, or the kind's working file. How
// messages name the file goes with it.
struct RecordSource
{
    QString path;
    QString description;
    const RecordMap *records = nullptr; // what the load found in the file, if it is as then
};
using RecordSourceOf = std::function<RecordSource(PageKind kind, bool inWorkingFile)>;

// Writes the table to a new table file: the current record of every page, kind by kind
// (texture, sound, weapon, generic, door, ship, pass-through) in list order, each copied byte
// for byte from the source recordSource names, with the kind byte of its kind. The target is
// replaced only when the whole file is written; failures, a record that cannot be read among
// them, throw TableError. The directory holds at least one page: Workspace::save,
// the one caller, says "Nothing to save!" first.
void writeTableFile(const PageDirectory &pages, const RecordSourceOf &recordSource,
                    const QString &target, const SaveProgress &progress = {});

// The records writeTableFile would write, one by one; only those of one kind if given.
QList<QByteArray> tableRecords(const PageDirectory &pages, const RecordSourceOf &recordSource,
                               std::optional<PageKind> only = std::nullopt);
