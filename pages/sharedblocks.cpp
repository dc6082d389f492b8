#include "sharedblocks.h"

using enum FieldEncoding;

namespace {
constexpr auto integer = NumberField::Integer;
constexpr auto floating = NumberField::Float;
constexpr const char *noInformation = "No extra information.";

constexpr FieldSpec physicsFloat(const char *caption, const char *hint = noInformation)
{
    return { Float, caption, hint, floating };
}
} // namespace

namespace PhysicsBlock {

const std::array<const char *, 32> flagItems = {
    "Turn-roll",
    "Leveling",
    "Bounce",
    "Wiggle",
    "Stick",
    "Persistent",
    "Uses Thrust",
    "Gravity",
    "Ignore Own Concussive Forces",
    "Wind",
    "Uses Parent Velocity",
    "Fixed Velocity",
    "Fixed Rotational Velocity",
    "No Collide Parents",
    "Hits Siblings",
    "Reverse Gravity",
    "No Collide",
    "No Robot Collision",
    "Point Collide Wall",
    "Homing",
    "Guided",
    "Ignore Concussive Forces",
    "Destination Pos",
    "Lock X",
    "Lock Y",
    "Lock Z",
    "Lock P",
    "Lock H",
    "Lock B",
    "Never Use Big Sphere",
    "No Same Collisions",
    "No Door Collisions",
};

const std::array<Item, ItemCount> items = { {
    field("mass", physicsFloat("Mass")),
    field("drag", physicsFloat("Drag")),
    field("full_thrust", physicsFloat("Full thrust")),
    field("flags",
          { IntBits, "Flags",
            "Physics flags. For more details, see the flags.txt file in VKCP directory.",
            std::nullopt, flagItems }),
    field("rotational_drag", physicsFloat("Rotational drag")),
    field("rotational_thrust", physicsFloat("Rotational thrust")),
    field("bounces_number",
          { Int, "Bounces number", "Maximum number of bounces for this item (-1 for infinite).",
            integer }),
    field("initial_velocity", physicsFloat("Initial velocity")),
    field("rotational_velocity_x", physicsFloat("Rotational Velocity X")),
    field("rotational_velocity_y", physicsFloat("Y")),
    field("rotational_velocity_z", physicsFloat("Z")),
    field("wiggle_amplitude", physicsFloat("Wiggle amplitude")),
    field("wiggles_per_second", physicsFloat("Wiggles per second")),
    field("coefficient_restitution", physicsFloat("Coefficient restitution")),
    field("hit_death_angle",
          physicsFloat("Hit death angle", "The sinus of the angle between 0 and 90.")),
    field("max_turn_roll_rate", physicsFloat("Max turn-roll date")),
    field("turn_roll_ratio", physicsFloat("Turn-roll ratio")),
} };

const Layout layout = { items, "physics" };
} // namespace PhysicsBlock

namespace LightingBlock {

const std::array<const char *, 7> flagItems = {
    "Flickering",       "Time Bits",   "Pulse",          "Pulse To Second",
    "Flicker Slightly", "Directional", "No Specularity",
};

const std::array<ChoiceItem, 3> renderTypes = {
    { { "Static Lighting", 0 }, { "Gouraud Shading", 1 }, { "Light Maps", 2 } }
};

namespace {
constexpr FieldSpec lightingFloat(const char *caption, const char *hint)
{
    return { Float, caption, hint, floating, {}, {}, "Please enter a float integer value" };
}
} // namespace

const std::array<Item, ItemCount> items = { {
    field("light_distance", lightingFloat("Light distance", "No extra information.")),
    field("start_red", lightingFloat("Start red", "Between 0 and 1.0")),
    field("start_green", lightingFloat("Start green", "Between 0 and 1.0")),
    field("start_blue", lightingFloat("Start blue", "Between 0 and 1.0")),
    field("time_interval", lightingFloat("Time interval", "No extra information")),
    field("flicker_distance", lightingFloat("Flicker distance", "No extra information")),
    field("fov", lightingFloat("FOV", "Directional Field Of View")),
    field("end_red", lightingFloat("End red", "")),
    field("end_green", lightingFloat("End green", "")),
    field("end_blue", lightingFloat("End blue", "")),
    field("flags",
          { IntBits, "Flags", "For more details, see the flags.txt file in VKCP directory.",
            std::nullopt, flagItems }),
    field("time_bits", { Int, "Time bits", "??", integer }),
    field("angle", { Byte, "Angle", "NOT USED???", integer }),
    field("lighting_render_type",
          { .encoding = Choice,
            .caption = "Lighting render type",
            .hint = "No extra information.",
            .choices = renderTypes }),
} };

const Layout layout = { items, "lighting" };
} // namespace LightingBlock

namespace SoundSlots {

namespace {
constexpr const char *slotHint =
    "VK Table Sound name of the sound associated with this sound slot.";
} // namespace

const std::array<Item, count> items = { {
    refersTo(soundPages, field("sound_slot_1", { String, "Sound slot 1", slotHint })),
    refersTo(soundPages, field("sound_slot_2", { String, "Sound slot 2", slotHint })),
    refersTo(soundPages, field("sound_slot_3", { String, "Sound slot 3", slotHint })),
    refersTo(soundPages, field("sound_slot_4", { String, "Sound slot 4", slotHint })),
    refersTo(soundPages, field("sound_slot_5", { String, "Sound slot 5", slotHint })),
    refersTo(soundPages, field("sound_slot_6", { String, "Sound slot 6", slotHint })),
    refersTo(soundPages, field("sound_slot_7", { String, "Sound slot 7", slotHint })),
} };

const Layout layout = { items, "sounds" };
} // namespace SoundSlots

namespace WeaponBattery {

const std::array<const char *, 12> flagItems = {
    "Spray",        "Animation Local", "Animation Full", "Random Fire Order",
    "Guided",       "Use Custom FOV",  "On/Off",         "Custom Max Dist",
    "User Timeout", "Fire FVec",       "Aim FVec",       "Fire Target",
};

namespace {
constexpr const char *unknown = "???";
} // namespace

namespace Gunpoint {
namespace {
const std::array<Item, 1> items = { { wordField("gunpoint_weapon_index", "Gunpoint Weapon Index",
                                                unknown) } };
const std::array<Item, 1> nameItems = { { refersTo(
    objectPages,
    field("weapon_name",
          { String, "Weapon name",
            "The VK Tablefile name for the weapon associated with this slot(Laser by "
            "default)." })) } };
} // namespace
const Layout layout = { items, "gunpoints" };
const Layout nameLayout = { nameItems, "gunpoint_names" };
} // namespace Gunpoint

namespace Mask {
namespace {
const std::array<Item, 6> items = { {
    byteField("fire_masks", "Fire masks", noInformation),
    floatField("fire_wait_time", "Fire wait time", noInformation),
    floatField("animation_time", "Animation time", noInformation),
    floatField("animation_start_frame", "Animation start frame", noInformation),
    floatField("animation_fire_frame", "Animation fire frame", noInformation),
    floatField("animation_end_frame", "Animation end frame", noInformation),
} };
const std::array<Item, 1> soundItems = { { refersTo(
    soundPages, field("sound", { String, "Sound", "Table Sound Name for fire sound." })) } };
} // namespace
const Layout layout = { items, "masks" };
const Layout soundLayout = { soundItems, "mask_sounds" };
} // namespace Mask

namespace {
const std::array<Item, ItemCount> items = { {
    floatField("energy_usage", "Energy usage",
               "Amount of energy used by this weapon battery slot."),
    floatField("ammo_usage", "Ammo usage", "Amount of ammo used by this weapon battery slot."),
    captioned("Gunpoint %1", block(Gunpoint::layout, gunpoints)),
    captioned("Firing mask %1", block(Mask::layout, masks)),
    byteField("number_masks", "Number masks", unknown),
    wordField("aiming_gunpoint_index", "Aiming gunpoint index",
              "Gunpoint to use for aiming with this battery."),
    field("aiming_flags", unknownField(ByteBits, "Aiming flags", unknown)),
    floatField("aiming_dot", "Aiming dot", unknown),
    floatField("aiming_distance", "Aiming distance", unknown),
    floatField("aiming_xz_dot", "Aiming XZ dot", unknown),
    field("flags",
          { WordBits, "Flags",
            "Weapon batteries flag. For more details, see the flags.txt file in VKCP directory.",
            std::nullopt, flagItems }),
    byteField(
        "quad_fire_mask", "Quad fire mask",
        "Firing mask override to use when this weapon battery is set with the Quad fire flag."),
} };
} // namespace

const Layout layout = { items, "battery" };
} // namespace WeaponBattery
