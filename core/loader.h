#pragma once

#include "namelist.h"
#include "pagedirectory.h"
#include "recordfile.h"

#include <QByteArray>
#include <QList>
#include <QLocale>
#include <QString>

#include <array>

// What a table file holds: the directory of its pages and, per edited kind, the page
// names in list order (list position p is the page at slot map[p]).
struct LoadedTable
{
    PageDirectory directory;
    std::array<NameList, kEditedKinds.size()> names; // indexed by kindIndex
    bool versionMismatch = false; // pages of a known kind but another version were skipped
    // Where the file ends inside a page that was therefore left out, or -1.
    qint64 cutOffRecord = -1;
    RecordMap records; // of the pages in the directory
};

inline constexpr QLatin1StringView kVersionMismatchMessage {
    "One or more pages uses an older or newer version. Maybe you're using an older or newer "
    "Varnak version. These pages have been ignored."
};

// The warning about LoadedTable::cutOffRecord.
QString cutOffRecordMessage(qint64 cutOffRecord);

// Walks the table file at path and sorts each kind's names case-insensitively in the
// locale's order. A last page that the file's end cuts short is left out. A damaged file throws
// TableError saying what is wrong and where; the caller's workspace is never touched, so a failed
// load changes nothing.
LoadedTable LoadTableFile(const QString &path, const QLocale &locale = QLocale());
// The same of a table file's bytes already read, so that a tool reads a file once.
LoadedTable LoadTableBytes(QByteArrayView bytes, const QLocale &locale = QLocale());
