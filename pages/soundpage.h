#pragma once

#include "pagefields.h"

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
    FieldCount
};

extern const std::array<const char *, 9> flagItems;
extern const std::array<FieldSpec, FieldCount> fields;
extern const PageFormat format;

} // namespace SoundPage
