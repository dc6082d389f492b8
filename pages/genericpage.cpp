#include "genericpage.h"

#include "sharedblocks.h"

namespace GenericPage {

using enum FieldEncoding;

namespace {
constexpr auto integer = NumberField::Integer;
constexpr auto floating = NumberField::Float;
constexpr const char *noInformation = "No extra information.";
constexpr const char *unknownYet = "Unknown by this time.";

constexpr Item text(const char *caption, const char *hint)
{
    return field({ String, caption, hint });
}
constexpr Item number(const char *caption, const char *hint)
{
    return field({ Float, caption, hint, floating });
}
constexpr Item word(const char *caption, const char *hint)
{
    return field({ Word, caption, hint, integer });
}
} // namespace

namespace AiBlock {

const std::array<const char *, 9> types = {
    "Fly Lander",        "Stalker", "Evader 1", "Evader 2",     "Stationary Turret",
    "AIS",               "Melee 1", "Bird Flock 1", "Herd 1",
};
const std::array<const char *, 6> walkingSubtypes = {
    "Flat", "Low angle", "High angle", "Non restricted", "Underwater only", "Water surface",
};
const std::array<const char *, 7> flyingSubtypes = {
    "Normal", "Path", "Helicopter", "Hovercraft", "Jet", "Playerlike", "Buddylike",
};

namespace {
const std::array<const char *, 2> movementTypes = { "Walk", "Fly" };
const std::array<std::span<const char *const>, 2> subtypeLists = { walkingSubtypes,
                                                                    flyingSubtypes };
const ItemsBy subtypes = { MovementType, subtypeLists };

const std::array<Item, ItemCount> items = { {
    field(unknownField(IntBits, "AI flags", unknownYet)),
    field(unknownField(Choice, "AI Class", unknownYet)),
    field({ Choice, "AI Type", "AI Type for object.", std::nullopt, types }),
    field({ Choice, "AI Movement type", "AI Movement type for object.", std::nullopt,
            movementTypes }),
    field({ .encoding = Choice,
            .caption = "Movement Subtype",
            .hint = "AI Movement subtype for this object.",
            .itemsBy = &subtypes }),
    number("AI FOV", "Cosinus of the AI Field of View for object."),
    number("AI Max Velocity", "Maximum velocity."),
    number("AI Max Delta Velocity", "Maximum delta velocity."),
    number("AI Max Turn Rate", "Maximum turn rate."),
    field(unknownField(IntBits, "Notify flags", unknownYet)),
    number("AI Max Delta Turn Rate", "Maximum Delta Turn Rate."),
    number("AI Circle Distance", "Distance the object should circle it's targets at."),
    number("AI Attack Vel %", "From 0 to 1.0."),
    number("AI Dodge %", "From 0 to 1.0."),
    number("AI Dodge Vel %", "From 0 to 1.0."),
    number("AI Flee %", "From 0 to 1.0."),
    number("AI Melee Damage 1", noInformation),
    number("AI Melee Damage 2", noInformation),
    number("AI Melee Latency 1", noInformation),
    number("AI Melee Latency 2", noInformation),
    number("AI Curiousity", noInformation),
    number("AI Night Vision", noInformation),
    number("AI Fog Vision", noInformation),
    number("AI Lead Accuracy", noInformation),
    number("AI Lead Varience", noInformation),
    number("AI Fire Spread", noInformation),
    number("AI Fight Team", noInformation),
    number("AI Fight Same", noInformation),
    number("AI Agression", noInformation),
    number("AI Hearing", noInformation),
    number("AI Frustration", noInformation),
    number("AI Roaming", noInformation),
    number("AI Life Preservation", noInformation),
    number("AI Avoid Friends Distance", noInformation),
    number("AI Biased Flight Importance", noInformation),
    number("AI Biased Flight Min", noInformation),
    number("AI Biased Flight Max", noInformation),
} };
} // namespace

const Layout layout = { items };

} // namespace AiBlock

namespace SpewSlot {
namespace {
const std::array<Item, 4> items = { {
    field(unknownField(ByteBits, "Spew flags", "Spew flags. Unknown by this time.")),
    number("Spew %", "Percent Chance that this object would spew. (0 to 1.0)."),
    word("Spew number", "How many of this object to spew if we are to spew it."),
    text("Spew object", "Table name of the object to spew (for this slot)."),
} };
} // namespace
const Layout layout = { items };
} // namespace SpewSlot

namespace Animation {
namespace {
const std::array<Item, 3> items = { {
    word("From frame", "Starting frame of animation."),
    word("To frame", "End frame of animation."),
    number("Seconds per class", "How long the animation should last."),
} };
const std::array<Item, 1> soundItems = { { text("Sound name",
                                                "Table Sound Name for this animation.") } };
} // namespace
const Layout layout = { items };
const Layout soundLayout = { soundItems };
} // namespace Animation

namespace ObjectSounds {
namespace {
constexpr const char *soundHint = "Table Sound Name.";
const std::array<Item, count> items = { {
    text("Sound name 1", soundHint),
    text("Sound name 2", soundHint),
    text("AI Sound name 1", soundHint),
    text("AI Sound name 2", soundHint),
    text("AI Sound name 3", soundHint),
    text("AI Sound name 4", soundHint),
    text("AI Sound name 5", soundHint),
} };
} // namespace
const Layout layout = { items };
} // namespace ObjectSounds

namespace DeathTypes {
namespace Type {
namespace {
const std::array<Item, 4> items = { {
    field(unknownField(IntBits, "Death flags", unknownYet)),
    number("Death delay min.", "Minimum amount of time for this death to last."),
    number("Death delay max.", "Maximum amount of time for this death to last."),
    field({ Byte, "Death probability",
            "Probability of this death happening(0 to 100, all add to 100)", integer }),
} };
} // namespace
const Layout layout = { items };
} // namespace Type

namespace {
const std::array<Item, 2> items = { {
    field({ .encoding = Word,
            .caption = "Number of deaths",
            .hint = "Number of types of deaths for this object. Max is 4.",
            .check = integer,
            .range = IntRange { 1, maxCount, "Number of death types must be between 1 and 4" },
            .initial = 1 }),
    countedBlock(Type::layout, Count, maxCount, "death block", "death types"),
} };
} // namespace
const Layout layout = { items };
} // namespace DeathTypes

const std::array<const char *, 4> objectTypes = { "Robot", "Powerup", "Clutter", "Building" };

const std::array<const char *, 14> flagItems = {
    "AI Control",      "Use Physics",     "Destroyable",
    "Selectable(I)",   "Non-Useable(I)",  "Mission Type(I)",
    "No Remove(I)",    "Visible(I)",      "AI Scripted Death",
    "Ceiling Check",   "No Forcefields & glass", "No Different Damage",
    "No Different Move", "Ambient Object",
};

namespace {

const std::array<quint8, 4> objectTypeCodes = { 2, powerup, 11, 16 };

bool isPowerup(const Values &before)
{
    return maskOf(before.field(ObjectType)) == powerup;
}

bool hasSpareB(const Values &before)
{
    return std::get<NumberValue>(before.field(SpareFlag)).stored() == 1;
}

constexpr int batteryTexts = WeaponBattery::count * WeaponBattery::gunpoints;
constexpr int animations = classes * animationsPerClass;

const std::array<Item, ItemCount> items = { {
    field({ .encoding = Choice,
            .caption = "Object type",
            .hint = "Type of generic object.",
            .items = objectTypes,
            .codes = objectTypeCodes,
            .initial = 2 }),
    text("Name", "Table Name of the object."),
    text("Image name", "High resolution .QMF filename for the object polymodel."),
    text("Med. Image name", "Medium resolution .QMF filename for the object polymodel."),
    text("Small Image name", "Low resolution .QMF filename for the object polymodel."),
    number("Impact size", noInformation),
    number("Impact time", noInformation),
    number("Damage", noInformation),
    word("Score", "Score gained by the player by destroying this object."),
    when(word("Ammo", "How much ammo this powerup contains by default. *ONLY USED BY POWERUPS*"),
         isPowerup),
    hidden({ String, "spare text A", "" }),
    text("Module name",
         "The filename of the VESPRA module that contains the default script for this object."),
    text("Script override", "Name of the script in the module name."),
    hidden({ Byte, "spare flag", "" }),
    when(hidden({ String, "spare text B", "" }), hasSpareB),
    hidden({ String, "spare text C", "" }),
    number("Medium LOD distance", "Distance at which the medium resolution model is used."),
    number("Low LOD distance", "Distance at which the low resolution model is used."),
    block(PhysicsBlock::layout),
    number("Size", "Object size."),
    block(LightingBlock::layout),
    field({ Int, "Hit points", "The amount of shields this object has by default.", integer }),
    field({ IntBits, "Flags",
            "Generic flags. For more details, see the flags.txt file in VKCP directory.",
            std::nullopt, flagItems }),
    block(AiBlock::layout),
    block(SpewSlot::layout, SpewSlot::count),
    block(Animation::layout, animations),
    block(WeaponBattery::layout, WeaponBattery::count),
    block(WeaponBattery::Gunpoint::nameLayout, batteryTexts),
    block(ObjectSounds::layout),
    block(WeaponBattery::Mask::soundLayout, batteryTexts),
    block(Animation::soundLayout, animations),
    number("Respawn scalar",
           "Used for powerups to scale how often they respawn in multiplayer games. Normal is "
           "1.0."),
    block(DeathTypes::layout),
} };

} // namespace

const Layout layout = { items };

} // namespace GenericPage
