#pragma once

#include "layout.h"

#include <array>

// The generic page body: a robot, powerup, piece of clutter or building. Besides its own fields
// and the physics and lighting blocks it carries the AI block, two spew slots, 5 x 24
// animation entries, 21 weapon batteries, seven sound names and up to four death types. The
// texts of the gunpoints, firing masks and animation entries lie in runs of their own after
// the numbers.
namespace GenericPage {

enum Field {
    ObjectType,
    Name,
    ImageName,
    MediumImage,
    SmallImage,
    ImpactSize,
    ImpactTime,
    Damage,
    Score,
    Ammo, // a powerup's only
    SpareA,
    ModuleName,
    ScriptOverride,
    SpareFlag,
    SpareB, // only when the spare flag is 1
    SpareC,
    MediumLod,
    LowLod,
    Physics,
    Size,
    Lighting,
    HitPoints,
    Flags,
    Ai,
    Spew,
    Animations,
    Batteries,
    GunpointNames,
    Sounds,
    MaskSounds,
    AnimationSounds,
    RespawnScalar,
    Deaths,
    ItemCount
};

inline constexpr quint8 powerup = 7;
inline constexpr int classes = 5;
inline constexpr int animationsPerClass = 24;

extern const std::array<ChoiceItem, 4> objectTypes;
extern const std::array<const char *, 14> flagItems;
extern const Layout layout;

namespace AiBlock {
enum Field {
    AiFlags,
    AiClass,
    AiType,
    MovementType,
    MovementSubtype,
    Fov,
    MaxVelocity,
    MaxDeltaVelocity,
    MaxTurnRate,
    NotifyFlags,
    FirstValue, // the 27 AI values follow
    ItemCount = FirstValue + 27
};
extern const std::array<ChoiceItem, 9> types;
extern const std::array<ChoiceItem, 6> walkingSubtypes;
extern const std::array<ChoiceItem, 7> flyingSubtypes;
extern const Layout layout;
} // namespace AiBlock

namespace SpewSlot {
enum Field { Flags, Chance, Number, Object };
inline constexpr int count = 2;
extern const Layout layout;
} // namespace SpewSlot

namespace Animation {
enum Field { FromFrame, ToFrame, Seconds };
extern const Layout layout;
extern const Layout soundLayout;
} // namespace Animation

// The two sound names and the five AI sound names.
namespace ObjectSounds {
inline constexpr int count = 7;
extern const Layout layout;
} // namespace ObjectSounds

// The death type count and that many death types.
namespace DeathTypes {
enum Field { Count, Types };
inline constexpr int maxCount = 4;
extern const Layout layout;
namespace Type {
enum Field { Flags, MinDelay, MaxDelay, Probability };
extern const Layout layout;
} // namespace Type
} // namespace DeathTypes

} // namespace GenericPage
