#pragma once

#include <QByteArray>
#include <QStringList>

// What `vktable diff` says of two table files: one line per page added or removed and per
// field changed; empty when they hold the same pages.
QStringList diffTables(const QByteArray &a, const QByteArray &b);
