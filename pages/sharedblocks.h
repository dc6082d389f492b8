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
extern const std::array<ChoiceItem, 3> renderTypes;
extern const Layout layout;
} // namespace LightingBlock

// The seven sounds a weapon names.
namespace SoundSlots {
inline constexpr int count = 7;
extern const Layout layout;
} // namespace SoundSlots

// A weapon battery: the firing set-up of one weapon a ship or a generic object carries, with
// eight gunpoints and eight firing masks. Its numbers are one block; the texts of its
// gunpoints and firing masks lie elsewhere in the page, each a block of its own.
namespace WeaponBattery {
inline constexpr int count = 21;
inline constexpr int gunpoints = 8;
inline constexpr int masks = 8;

enum Field {
    EnergyUsage,
    AmmoUsage,
    Gunpoints,
    Masks,
    MaskCount,
    AimingGunpoint,
    AimingFlags,
    AimingDot,
    AimingDistance,
    AimingXzDot,
    Flags,
    QuadFireMask,
    ItemCount
};
extern const std::array<const char *, 12> flagItems;
extern const Layout layout;

// A gunpoint's number, and a gunpoint's text.
namespace Gunpoint {
enum Field { WeaponIndex };
extern const Layout layout;
extern const Layout nameLayout;
} // namespace Gunpoint

// A firing mask's numbers, and its text.
namespace Mask {
enum Field { FireMask, FireWait, AnimationTime, AnimationStart, AnimationFire, AnimationEnd };
extern const Layout layout;
extern const Layout soundLayout;
} // namespace Mask
} // namespace WeaponBattery
