#pragma once

#include "layout.h"

#include <array>

// The ship page body: models and level-of-detail distances, the physics block, size, armor and
// flags, and the 21 ship weapons, each a weapon battery with what the ship carries of it.
namespace ShipPage {

enum Field {
    Name,
    Cockpit,
    HudConfig,
    Model,
    DyingModel,
    MediumModel,
    LowModel,
    MediumLod,
    LowLod,
    Physics,
    Size,
    ArmorScalar,
    Flags,
    Weapons,
    ItemCount
};

extern const Layout layout;

// One of the 21 weapons a ship may carry: its battery, and its gunpoints' and firing masks'
// texts after the battery's numbers.
namespace Weapon {
enum Field {
    FireFlags,
    FireSound,
    ReleaseSound,
    SpewPowerup,
    MaxAmmo,
    Battery,
    MaskSounds,
    GunpointNames,
    ItemCount
};
extern const std::array<const char *, 3> fireFlagItems;
extern const Layout layout;
} // namespace Weapon

} // namespace ShipPage
