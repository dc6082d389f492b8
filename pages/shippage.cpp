#include "shippage.h"

#include "sharedblocks.h"

namespace ShipPage {

using enum FieldEncoding;

namespace Weapon {

const std::array<const char *, 3> fireFlagItems = { "Fusion", "Zooms", "Tenths" };

namespace {
const std::array<Item, ItemCount> items = { {
    field({ ByteBits, "Fire flags",
            "Firing flags. For more details, see the flags.txt file in VKCP directory.",
            std::nullopt, fireFlagItems }),
    textField("Fire sound name", "VK Tablefile Sound name for the sound to play when firing."),
    textField("Release sound name",
              "VK Tablefile Sound name for the sound to play when the trigger is released."),
    textField("Spew powerup name", "The generic object name of the powerup object to spew out."),
    field({ Int, "Max ammo", "Maximum amount of ammo this ship can carry for this weapon.",
            NumberField::Integer }),
    block(WeaponBattery::layout),
    block(WeaponBattery::Mask::soundLayout, WeaponBattery::masks),
    block(WeaponBattery::Gunpoint::nameLayout, WeaponBattery::gunpoints),
} };
} // namespace

const Layout layout = { items, "weapons" };
} // namespace Weapon

namespace {

const std::array<const char *, 1> flagItems = { "Allowed by default" };

const std::array<Item, ItemCount> items = { {
    textField("Ship name", "Varnak name of the ship."),
    textField("Cockpit filename", "Filename of the .QMF model for the cockpit."),
    textField("HUD config filename", ".INF filename of the HUD configuration file."),
    textField("Model name", "Filename for the .QMF model that is the model of the ship."),
    textField("Dying model", "Filename for the .QMF model of the ship when it is dying."),
    textField("Med. model name", "Filename for the .QMF model that is the medium res version."),
    textField("Low model name", "Filename for the .QMF model that is the low res version."),
    floatField("Med. LOD distance",
               "Distance at which the medium res model version of the ship is used."),
    floatField("Low LOD distance",
               "Distance at which the low res model version of the ship is used."),
    block(PhysicsBlock::layout),
    floatField("Size", "Size of the radius of the ship."),
    floatField("Armor scalar", "Multiplies the damage this ship takes; 1.0 is normal."),
    field({ IntBits, "Flags",
            "Ship flags. For more details, see the flags.txt file in VKCP directory.", std::nullopt,
            flagItems }),
    block(Weapon::layout, WeaponBattery::count),
} };
} // namespace

const Layout layout = { items };
} // namespace ShipPage
