#pragma once

#include "layout.h"

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
    ItemCount
};

extern const std::array<const char *, 2> flagItems;
extern const Layout layout;

} // namespace DoorPage
