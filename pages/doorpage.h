#pragma once

#include "pagefields.h"

#include <array>

// The door page body: the model, the timing, whether it can be blasted and seen through, its
// hit points, its sounds and the script that drives it.
namespace DoorPage {

enum Field {
    Name,
    Model,
    OpeningTime,
    ClosingTime,
    TimeOpen,
    Flags,
    HitPoints,
    OpenSound,
    CloseSound,
    Module,
    FieldCount
};

extern const std::array<const char *, 2> flagItems;
extern const std::array<FieldSpec, FieldCount> fields;
extern const PageFormat format;

} // namespace DoorPage
