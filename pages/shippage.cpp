#include "shippage.h"

#include "sharedblocks.h"

namespace ShipPage {

using enum FieldEncoding;

namespace {
constexpr auto floating = NumberField::Float;

constexpr Item text(const char *caption, const char *hint)
{
    return field({ String, caption, hint });
}
constexpr Item number(const char *caption, const char *hint)
{
    return field({ Float, caption, hint, floating });
}
} // namespace

namespace Weapon {

const std::array<const char *, 3> fireFlagItems = { "Fusion", "Zooms", "Tenths" };

namespace {
const std::array<Item, ItemCount> items = { {
    field({ ByteBits, "Fire flags",
            "Firing flags. For more details, see the flags.txt file in VKCP directory.",
            std::nullopt, fireFlagItems }),
    text("Fire sound name", "VK Tablefile Sound name for the sound to play when firing."),
    text("Release sound name",
         "VK Tablefile Sound name for the sound to play when the trigger is released."),
    text("Spew powerup name", "The generic object name of the powerup object to spew out."),
    field({ Int, "Max ammo", "Maximum amount of ammo this ship can carry for this weapon.",
            NumberField::Integer }),
    block(WeaponBattery::layout),
    block(WeaponBattery::Mask::soundLayout, WeaponBattery::masks),
    block(WeaponBattery::Gunpoint::nameLayout, WeaponBattery::gunpoints),
} };
} // namespace

const Layout layout = { items };

} // namespace Weapon

namespace {

const std::array<const char *, 1> flagItems = { "Allowed by default" };

const std::array<Item, ItemCount> items = { {
    text("Ship name", "Varnak name of the ship."),
    text("Cockpit filename", "Filename of the .QMF model for the cockpit."),
    text("HUD config filename", ".INF filename of the HUD configuration file."),
    text("Model name", "Filename for the .QMF model that is the model of the ship."),
    text("Dying model", "Filename for the .QMF model of the ship when it is dying."),
    text("Med. model name", "Filename for the .QMF model that is the medium res version."),
    text("Low model name", "Filename for the .QMF model that is the low res version."),
    number("Med. LOD distance",
           "Distance at which the medium res model version of the ship is used."),
    number("Low LOD distance", "Distance at which the low res model version of the ship is used."),
    block(PhysicsBlock::layout),
    number("Size", "Size of the radius of the ship."),
    number("Armor scalar", "Multiplies the damage this ship takes; 1.0 is normal."),
    field({ IntBits, "Flags",
            "Ship flags. For more details, see the flags.txt file in VKCP directory.",
            std::nullopt, flagItems }),
    block(Weapon::layout, WeaponBattery::count),
} };

} // namespace

const Layout layout = { items };

} // namespace ShipPage
