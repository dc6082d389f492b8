#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// What `vktable check` finds in a table file.
struct Finding
{
    QString kind;
    QByteArray name;
    QString field;
    QString problem;

    // KIND "NAME": field: problem
    QString line() const;
};

// The faults of a table, in the file's page order: names that name no page of the kind they
// must name, page names used twice within a kind, pages of another version or damaged, and a
// last page that the file's end cuts short. Within a page, in the order of its fields; a field
// is its key in `vktable dump`. Names compare byte for byte; an empty name names nothing.
QList<Finding> checkTable(const QByteArray &table);
