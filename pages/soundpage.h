#pragma once

#include "layout.h"

#include <array>

// The sound page body: which wave file plays, how, and within which distances.
namespace SoundPage {

enum Field {
    Name,
    WaveFile,
    Flags,
    LoopStart,
    LoopEnd,
    OuterConeVolume,
    InnerConeAngle,
    OuterConeAngle,
    MaxDistance,
    MinDistance,
    ImportAdjust,
    ItemCount
};

extern const std::array<const char *, 9> flagItems;
extern const Layout layout;

} // namespace SoundPage
