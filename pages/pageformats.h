#pragma once

#include "pagefields.h"

// Reads the body of a record whose header is read, and builds the record again from what
// was read: one kind's read and write, end to end.
using PageRewrite = QByteArray (*)(RecordReader &reader);

// For every kind that has a body so far; nullptr for the others. The page fuzzer drives each
// kind through it.
PageRewrite pageRewriteOf(PageKind kind);
