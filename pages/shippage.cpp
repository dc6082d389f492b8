#include "shippage.h"

#include "sharedblocks.h"

namespace ShipPage {

using enum FieldEncoding;

namespace Weapon {

const std::array<const char *, 3> fireFlagItems = { "Fusion", "Zooms", "Tenths" };

namespace {
const std::array<Item, ItemCount> items = { {
    field("fire_flags",
          { ByteBits, "Fire flags",
            "Firing flags. For more details, see the flags.txt file in VKCP directory.",
            std::nullopt, fireFlagItems }),
    refersTo(soundPages,
             textField("fire_sound_name", "Fire sound name",
                       "VK Tablefile Sound name for the sound to play when firing.")),
    refersTo(
        soundPages,
        textField("release_sound_name", "Release sound name",
                  "VK Tablefile Sound name for the sound to play when the trigger is released.")),
    refersTo(objectPages,
             textField("spew_powerup_name", "Spew powerup name",
                       "The generic object name of the powerup object to spew out.")),
    field("max_ammo",
          { Int, "Max ammo", "Maximum amount of ammo this ship can carry for this weapon.",
            NumberField::Integer }),
    // No window of its own: its fields show with the weapon's.
    block(WeaponBattery::layout),
    captioned("Firing mask %1", block(WeaponBattery::Mask::soundLayout, WeaponBattery::masks)),
    captioned("Gunpoint %1", block(WeaponBattery::Gunpoint::nameLayout, WeaponBattery::gunpoints)),
} };
} // namespace

const Layout layout = { items, "weapons" };
} // namespace Weapon

namespace {

const std::array<const char *, 1> flagItems = { "Allowed by default" };

const std::array<Item, ItemCount> items = { {
    textField("ship_name", "Ship name", "Varnak name of the ship."),
    textField("cockpit_filename", "Cockpit filename",
              "Filename of the .QMF model for the cockpit."),
    textField("hud_config_filename", "HUD config filename",
              ".INF filename of the HUD configuration file."),
    textField("model_name", "Model name",
              "Filename for the .QMF model that is the model of the ship."),
    textField("dying_model", "Dying model",
              "Filename for the .QMF model of the ship when it is dying."),
    textField("med_model_name", "Med. model name",
              "Filename for the .QMF model that is the medium res version."),
    textField("low_model_name", "Low model name",
              "Filename for the .QMF model that is the low res version."),
    floatField("med_lod_distance", "Med. LOD distance",
               "Distance at which the medium res model version of the ship is used."),
    floatField("low_lod_distance", "Low LOD distance",
               "Distance at which the low res model version of the ship is used."),
    captioned("Physics", block(PhysicsBlock::layout)),
    floatField("size", "Size", "Size of the radius of the ship."),
    floatField("armor_scalar", "Armor scalar",
               "Multiplies the damage this ship takes; 1.0 is normal."),
    field("flags",
          { IntBits, "Flags",
            "Ship flags. For more details, see the flags.txt file in VKCP directory.", std::nullopt,
            flagItems }),
    captioned("Ship weapons #%1", block(Weapon::layout, WeaponBattery::count)),
} };
} // namespace

const Layout layout = { items };
} // namespace ShipPage
