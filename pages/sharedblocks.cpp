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
    field(physicsFloat("Mass")),
    field(physicsFloat("Drag")),
    field(physicsFloat("Full thrust")),
    field({ IntBits, "Flags",
            "Physics flags. For more details, see the flags.txt file in VKCP directory.",
            std::nullopt, flagItems }),
    field(physicsFloat("Rotational drag")),
    field(physicsFloat("Rotational thrust")),
    field({ Int, "Bounces number", "Maximum number of bounces for this item (-1 for infinite).",
            integer }),
    field(physicsFloat("Initial velocity")),
    field(physicsFloat("Rotational Velocity X")),
    field(physicsFloat("Y")),
    field(physicsFloat("Z")),
    field(physicsFloat("Wiggle amplitude")),
    field(physicsFloat("Wiggles per second")),
    field(physicsFloat("Coefficient restitution")),
    field(physicsFloat("Hit death angle", "The sinus of the angle between 0 and 90.")),
    field(physicsFloat("Max turn-roll date")),
    field(physicsFloat("Turn-roll ratio")),
} };

const Layout layout = { items, "physics" };
} // namespace PhysicsBlock

namespace LightingBlock {

const std::array<const char *, 7> flagItems = {
    "Flickering",       "Time Bits",   "Pulse",          "Pulse To Second",
    "Flicker Slightly", "Directional", "No Specularity",
};

const std::array<const char *, 3> renderTypes = { "Static Lighting", "Gouraud Shading",
                                                  "Light Maps" };

namespace {
constexpr FieldSpec lightingFloat(const char *caption, const char *hint)
{
    return { Float, caption, hint, floating, {}, {}, "Please enter a float integer value" };
}
} // namespace

const std::array<Item, ItemCount> items = { {
    field(lightingFloat("Light distance", "No extra information.")),
    field(lightingFloat("Start red", "Between 0 and 1.0")),
    field(lightingFloat("Start green", "Between 0 and 1.0")),
    field(lightingFloat("Start blue", "Between 0 and 1.0")),
    field(lightingFloat("Time interval", "No extra information")),
    field(lightingFloat("Flicker distance", "No extra information")),
    field(lightingFloat("FOV", "Directional Field Of View")),
    field(lightingFloat("End red", "")),
    field(lightingFloat("End green", "")),
    field(lightingFloat("End blue", "")),
    field({ IntBits, "Flags", "For more details, see the flags.txt file in VKCP directory.",
            std::nullopt, flagItems }),
    field({ Int, "Time bits", "??", integer }),
    field({ Byte, "Angle", "NOT USED???", integer }),
    field({ Choice, "Lighting render type", "No extra information.", std::nullopt, renderTypes }),
} };

const Layout layout = { items, "lighting" };
} // namespace LightingBlock

namespace SoundSlots {

namespace {
constexpr const char *slotHint =
    "VK Table Sound name of the sound associated with this sound slot.";
} // namespace

const std::array<Item, count> items = { {
    field({ String, "Sound slot 1", slotHint }),
    field({ String, "Sound slot 2", slotHint }),
    field({ String, "Sound slot 3", slotHint }),
    field({ String, "Sound slot 4", slotHint }),
    field({ String, "Sound slot 5", slotHint }),
    field({ String, "Sound slot 6", slotHint }),
    field({ String, "Sound slot 7", slotHint }),
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
const std::array<Item, 1> items = { { wordField("Gunpoint Weapon Index", unknown) } };
const std::array<Item, 1> nameItems = { { field(
    { String, "Weapon name",
      "The VK Tablefile name for the weapon associated with this slot(Laser by default)." }) } };
} // namespace
const Layout layout = { items, "gunpoints" };
const Layout nameLayout = { nameItems, "gunpoint_names" };
} // namespace Gunpoint

namespace Mask {
namespace {
const std::array<Item, 6> items = { {
    byteField("Fire masks", noInformation),
    floatField("Fire wait time", noInformation),
    floatField("Animation time", noInformation),
    floatField("Animation start frame", noInformation),
    floatField("Animation fire frame", noInformation),
    floatField("Animation end frame", noInformation),
} };
const std::array<Item, 1> soundItems = { { field(
    { String, "Sound", "Table Sound Name for fire sound." }) } };
} // namespace
const Layout layout = { items, "masks" };
const Layout soundLayout = { soundItems, "mask_sounds" };
} // namespace Mask

namespace {
const std::array<Item, ItemCount> items = { {
    floatField("Energy usage", "Amount of energy used by this weapon battery slot."),
    floatField("Ammo usage", "Amount of ammo used by this weapon battery slot."),
    block(Gunpoint::layout, gunpoints),
    block(Mask::layout, masks),
    byteField("Number masks", unknown),
    wordField("Aiming gunpoint index", "Gunpoint to use for aiming with this battery."),
    field(unknownField(ByteBits, "Aiming flags", unknown)),
    floatField("Aiming dot", unknown),
    floatField("Aiming distance", unknown),
    floatField("Aiming XZ dot", unknown),
    field({ WordBits, "Flags",
            "Weapon batteries flag. For more details, see the flags.txt file in VKCP directory.",
            std::nullopt, flagItems }),
    byteField(
        "Quad fire mask",
        "Firing mask override to use when this weapon battery is set with the Quad fire flag."),
} };
} // namespace

const Layout layout = { items, "battery" };
} // namespace WeaponBattery
