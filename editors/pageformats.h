#pragma once

#include "pagefields.h"

// The declared body of each kind that has one so far; nullptr for the others.
const PageFormat *pageFormatOf(PageKind kind);
