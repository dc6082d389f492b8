#pragma once

#include "pagekinds.h"

#include <QByteArray>
#include <QString>

#include <optional>

// A page file (an exported page or the page clipboard) holds one page record, kind byte first.
// Returns that record, or nothing when the file does not start with the kind's byte: such a
// file is passed over. A record cut short or of an impossible length throws TableError, which
// names the file by its description.
std::optional<QByteArray> readPageFile(const QString &path, PageKind kind,
                                       const QString &description);
