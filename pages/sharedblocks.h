#pragma once

#include "layout.h"

#include <array>

// The blocks that several kinds carry: each declared once and used by every kind that has it.

// Seventeen physics values, 68 bytes: weapon, ship and generic pages.
namespace PhysicsBlock {
enum Field {
    Mass,
    Drag,
    FullThrust,
    Flags,
    RotationalDrag,
    RotationalThrust,
    Bounces,
    InitialVelocity,
    RotationalVelocityX,
    RotationalVelocityY,
    RotationalVelocityZ,
    WiggleAmplitude,
    WigglesPerSecond,
    Restitution,
    HitDeathAngle,
    MaxTurnRollRate,
    TurnRollRatio,
    ItemCount
};
extern const std::array<const char *, 32> flagItems;
extern const Layout layout;
} // namespace PhysicsBlock

// Fourteen lighting values, 50 bytes: weapon and generic pages.
namespace LightingBlock {
enum Field {
    LightDistance,
    StartRed,
    StartGreen,
    StartBlue,
    TimeInterval,
    FlickerDistance,
    FieldOfView,
    EndRed,
    EndGreen,
    EndBlue,
    Flags,
    TimeBits,
    Angle,
    RenderType,
    ItemCount
};
extern const std::array<const char *, 7> flagItems;
extern const std::array<const char *, 3> renderTypes;
extern const Layout layout;
} // namespace LightingBlock

// The seven sounds a weapon names.
namespace SoundSlots {
inline constexpr int count = 7;
extern const Layout layout;
} // namespace SoundSlots
