#include "weaponpage.h"

#include "sharedblocks.h"

namespace WeaponPage {

const std::array<const char *, 32> flagItems = {
    "HUD Animated", "Bitmap Image",  "Smoke",         "Matter Weapon",  "Electrical",
    "Image VClip",  "Spray",         "Streamer",      "Invisible",      "Ring",
    "Saturate",     "Blast ring",    "Planar Blast",  "Planar",         "Enable Camera",
    "Spawn Impact", "Spawn Timeout", "Expand",        "Muzzle",         "Microwave",
    "Napalm",       "Reverse Smoke", "Gravity Field", "Countermeasure", "Spawns Robot",
    "Freeze",       "Timeout Wall",  "Planar Smoke",  "Silent Homing",  "Homing Split",
    "No Rotate",    "Custom Size",
};

using enum FieldEncoding;

namespace {
constexpr auto integer = NumberField::Integer;
constexpr auto floating = NumberField::Float;

constexpr Item text(const char *caption, const char *hint)
{
    return field({ String, caption, hint });
}
constexpr Item number(const char *caption, const char *hint)
{
    return field({ Float, caption, hint, floating });
}
constexpr Item byte(const char *caption, const char *hint)
{
    return field({ Byte, caption, hint, integer });
}
} // namespace

const std::array<Item, ItemCount> items = { {
    text("Weapon name", "VK Table name of the weapon."),
    text("HUD image", "Filename of the HUD icon for this weapon."),
    text("Fire image",
         "Filename of the .QMF file used for the actual weapon model.(May be an .QBF if the "
         "Bitmap Image flag is set)"),
    text("Particle name", "Texture Name of the image to use as particles."),
    byte("Particle count", "How many particles the weapon creates."),
    number("Particle life", "The lifetime of each particle."),
    number("Particle size", "The size of each particle."),
    field({ IntBits, "Weapon flags",
            "Weapon flags. For more details, see the flags.txt file in VKCP directory.",
            std::nullopt, flagItems }),
    text("Spawn name", "Name of the weapon this weapon spawns."),
    byte("Spawn count", "How many weapons to spawn."),
    text("Robot spawn", "Name of the robot object to spawn on weapon death."),
    text("Alternate", "An alternative weapon to spawn."),
    byte("Alternate %",
         "Percentage chance (0 - 100) that the alternate weapon will be spawned(from 0 to "
         "1.0)."),
    number("Gravity time", "How long the gravity field lasts."),
    number("G Size", "How big of a radius is the gravity field."),
    number("Homing FOV", "Cosinus of the Field of View for homing weapons."),
    number("Custom size", "Custom size of weapon (to override polymodel size)."),
    number("Real size", "Weapon 'blob' size."),
    number("Thrust time", "How long this weapon thrusts."),
    block(PhysicsBlock::layout),
    number("Terrain damage size", "Radius of terrain damage this weapon does to the terrain."),
    byte("Terrain damage depth", "How deep is the damage on the terrain."),
    number("Weapon alpha", "How alpha'd the weapon is (0 to 1.0, 0 being transparent)."),
    text("Explosion image", "VK Texture Name of the texture to use when the weapon explodes."),
    number("Explode time", "How long the explosion for this weapon lasts."),
    number("Explode size", "Size of the explosion."),
    number("Player damage", "How much damage this weapon does to a player."),
    number("Object damage", "How much damage this weapon does to a generic object."),
    number("Impact size", "The radius of the sphere used when the weapon impacts and explodes."),
    number("Impact time", "How long the impact affect lasts."),
    number("Impact player", "How much damage the impact explosion does to a player."),
    number("Impact generic", "How much damage the impact explosion does to a generic object."),
    number("Impact force", "Amount of force caused by the impact explosion."),
    number("Lifetime", "How long the weapon lives."),
    block(LightingBlock::layout),
    number("Recoil information",
           "Recoil force applied to the object (used in Force Feedback also)."),
    block(SoundSlots::layout),
    text("Smoke name", "VK Texture Name of the texture to use for the smoke trail image."),
    text("Scorch image",
         "VK Texture Name of the texture to use for the scorch mark left by this weapon."),
    number("Scorch size", "Size of the scorch mark to leave."),
    text("Weapon icon", "Name of the icon for this weapon."),
} };

const Layout layout = { items };

} // namespace WeaponPage
