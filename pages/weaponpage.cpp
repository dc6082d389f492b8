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
    textField("weapon_name", "Weapon name", "VK Table name of the weapon."),
    textField("hud_image", "HUD image", "Filename of the HUD icon for this weapon."),
    textField("fire_image", "Fire image",
              "Filename of the .QMF file used for the actual weapon model.(May be an .QBF if the "
              "Bitmap Image flag is set)"),
    refersTo(texturePages,
             textField("particle_name", "Particle name",
                       "Texture Name of the image to use as particles.")),
    byteField("particle_count", "Particle count", "How many particles the weapon creates."),
    floatField("particle_life", "Particle life", "The lifetime of each particle."),
    floatField("particle_size", "Particle size", "The size of each particle."),
    field("weapon_flags",
          { IntBits, "Weapon flags",
            "Weapon flags. For more details, see the flags.txt file in VKCP directory.",
            std::nullopt, flagItems }),
    refersTo(objectPages,
             textField("spawn_name", "Spawn name", "Name of the weapon this weapon spawns.")),
    byteField("spawn_count", "Spawn count", "How many weapons to spawn."),
    refersTo(objectPages,
             textField("robot_spawn", "Robot spawn",
                       "Name of the robot object to spawn on weapon death.")),
    refersTo(objectPages, textField("alternate", "Alternate", "An alternative weapon to spawn.")),
    byteField("alternate_percent", "Alternate %",
              "Percentage chance (0 - 100) that the alternate weapon will be spawned(from 0 to "
              "1.0)."),
    floatField("gravity_time", "Gravity time", "How long the gravity field lasts."),
    floatField("gravity_size", "G Size", "How big of a radius is the gravity field."),
    floatField("homing_fov", "Homing FOV", "Cosinus of the Field of View for homing weapons."),
    floatField("custom_size", "Custom size", "Custom size of weapon (to override polymodel size)."),
    floatField("real_size", "Real size", "Weapon 'blob' size."),
    floatField("thrust_time", "Thrust time", "How long this weapon thrusts."),
    captioned("Physics", block(PhysicsBlock::layout)),
    floatField("terrain_damage_size", "Terrain damage size",
               "Radius of terrain damage this weapon does to the terrain."),
    byteField("terrain_damage_depth", "Terrain damage depth",
              "How deep is the damage on the terrain."),
    floatField("weapon_alpha", "Weapon alpha",
               "How alpha'd the weapon is (0 to 1.0, 0 being transparent)."),
    refersTo(texturePages,
             textField("explosion_image", "Explosion image",
                       "VK Texture Name of the texture to use when the weapon explodes.")),
    floatField("explode_time", "Explode time", "How long the explosion for this weapon lasts."),
    floatField("explode_size", "Explode size", "Size of the explosion."),
    floatField("player_damage", "Player damage", "How much damage this weapon does to a player."),
    floatField("object_damage", "Object damage",
               "How much damage this weapon does to a generic object."),
    floatField("impact_size", "Impact size",
               "The radius of the sphere used when the weapon impacts and explodes."),
    floatField("impact_time", "Impact time", "How long the impact affect lasts."),
    floatField("impact_player", "Impact player",
               "How much damage the impact explosion does to a player."),
    floatField("impact_generic", "Impact generic",
               "How much damage the impact explosion does to a generic object."),
    floatField("impact_force", "Impact force", "Amount of force caused by the impact explosion."),
    floatField("lifetime", "Lifetime", "How long the weapon lives."),
    captioned("Lighting", block(LightingBlock::layout)),
    floatField("recoil_information", "Recoil information",
               "Recoil force applied to the object (used in Force Feedback also)."),
    captioned("Sounds", block(SoundSlots::layout)),
    refersTo(texturePages,
             textField("smoke_name", "Smoke name",
                       "VK Texture Name of the texture to use for the smoke trail image.")),
    refersTo(texturePages,
             textField(
                 "scorch_image", "Scorch image",
                 "VK Texture Name of the texture to use for the scorch mark left by this weapon.")),
    floatField("scorch_size", "Scorch size", "Size of the scorch mark to leave."),
    textField("weapon_icon", "Weapon icon", "Name of the icon for this weapon."),
} };

const Layout layout = { items };
} // namespace WeaponPage
