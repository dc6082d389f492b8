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

const std::array<Item, ItemCount> items = { {
    textField("Weapon name", "VK Table name of the weapon."),
    textField("HUD image", "Filename of the HUD icon for this weapon."),
    textField("Fire image",
              "Filename of the .QMF file used for the actual weapon model.(May be an .QBF if the "
              "Bitmap Image flag is set)"),
    textField("Particle name", "Texture Name of the image to use as particles."),
    byteField("Particle count", "How many particles the weapon creates."),
    floatField("Particle life", "The lifetime of each particle."),
    floatField("Particle size", "The size of each particle."),
    field({ IntBits, "Weapon flags",
            "Weapon flags. For more details, see the flags.txt file in VKCP directory.",
            std::nullopt, flagItems }),
    textField("Spawn name", "Name of the weapon this weapon spawns."),
    byteField("Spawn count", "How many weapons to spawn."),
    textField("Robot spawn", "Name of the robot object to spawn on weapon death."),
    textField("Alternate", "An alternative weapon to spawn."),
    byteField("Alternate %",
              "Percentage chance (0 - 100) that the alternate weapon will be spawned(from 0 to "
              "1.0)."),
    floatField("Gravity time", "How long the gravity field lasts."),
    floatField("G Size", "How big of a radius is the gravity field."),
    floatField("Homing FOV", "Cosinus of the Field of View for homing weapons."),
    floatField("Custom size", "Custom size of weapon (to override polymodel size)."),
    floatField("Real size", "Weapon 'blob' size."),
    floatField("Thrust time", "How long this weapon thrusts."),
    block(PhysicsBlock::layout),
    floatField("Terrain damage size", "Radius of terrain damage this weapon does to the terrain."),
    byteField("Terrain damage depth", "How deep is the damage on the terrain."),
    floatField("Weapon alpha", "How alpha'd the weapon is (0 to 1.0, 0 being transparent)."),
    textField("Explosion image", "VK Texture Name of the texture to use when the weapon explodes."),
    floatField("Explode time", "How long the explosion for this weapon lasts."),
    floatField("Explode size", "Size of the explosion."),
    floatField("Player damage", "How much damage this weapon does to a player."),
    floatField("Object damage", "How much damage this weapon does to a generic object."),
    floatField("Impact size",
               "The radius of the sphere used when the weapon impacts and explodes."),
    floatField("Impact time", "How long the impact affect lasts."),
    floatField("Impact player", "How much damage the impact explosion does to a player."),
    floatField("Impact generic", "How much damage the impact explosion does to a generic object."),
    floatField("Impact force", "Amount of force caused by the impact explosion."),
    floatField("Lifetime", "How long the weapon lives."),
    block(LightingBlock::layout),
    floatField("Recoil information",
               "Recoil force applied to the object (used in Force Feedback also)."),
    block(SoundSlots::layout),
    textField("Smoke name", "VK Texture Name of the texture to use for the smoke trail image."),
    textField("Scorch image",
              "VK Texture Name of the texture to use for the scorch mark left by this weapon."),
    floatField("Scorch size", "Size of the scorch mark to leave."),
    textField("Weapon icon", "Name of the icon for this weapon."),
} };

const Layout layout = { items };
} // namespace WeaponPage
