#include "genericpage.h"

#include "sharedblocks.h"

namespace GenericPage {

using enum FieldEncoding;

namespace {
constexpr auto integer = NumberField::Integer;
constexpr const char *noInformation = "No extra information.";
constexpr const char *unknownYet = "Unknown by this time.";
} // namespace

namespace AiBlock {

const std::array<const char *, 9> types = {
    "Fly Lander", "Stalker", "Evader 1",     "Evader 2", "Stationary Turret",
    "AIS",        "Melee 1", "Bird Flock 1", "Herd 1",
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
    floatField("AI FOV", "Cosinus of the AI Field of View for object."),
    floatField("AI Max Velocity", "Maximum velocity."),
    floatField("AI Max Delta Velocity", "Maximum delta velocity."),
    floatField("AI Max Turn Rate", "Maximum turn rate."),
    field(unknownField(IntBits, "Notify flags", unknownYet)),
    floatField("AI Max Delta Turn Rate", "Maximum Delta Turn Rate."),
    floatField("AI Circle Distance", "Distance the object should circle it's targets at."),
    floatField("AI Attack Vel %", "From 0 to 1.0."),
    floatField("AI Dodge %", "From 0 to 1.0."),
    floatField("AI Dodge Vel %", "From 0 to 1.0."),
    floatField("AI Flee %", "From 0 to 1.0."),
    floatField("AI Melee Damage 1", noInformation),
    floatField("AI Melee Damage 2", noInformation),
    floatField("AI Melee Latency 1", noInformation),
    floatField("AI Melee Latency 2", noInformation),
    floatField("AI Curiousity", noInformation),
    floatField("AI Night Vision", noInformation),
    floatField("AI Fog Vision", noInformation),
    floatField("AI Lead Accuracy", noInformation),
    floatField("AI Lead Varience", noInformation),
    floatField("AI Fire Spread", noInformation),
    floatField("AI Fight Team", noInformation),
    floatField("AI Fight Same", noInformation),
    floatField("AI Agression", noInformation),
    floatField("AI Hearing", noInformation),
    floatField("AI Frustration", noInformation),
    floatField("AI Roaming", noInformation),
    floatField("AI Life Preservation", noInformation),
    floatField("AI Avoid Friends Distance", noInformation),
    floatField("AI Biased Flight Importance", noInformation),
    floatField("AI Biased Flight Min", noInformation),
    floatField("AI Biased Flight Max", noInformation),
} };
} // namespace

const Layout layout = { items, "ai" };
} // namespace AiBlock

namespace SpewSlot {
namespace {
const std::array<Item, 4> items = { {
    field(unknownField(ByteBits, "Spew flags", "Spew flags. Unknown by this time.")),
    floatField("Spew %", "Percent Chance that this object would spew. (0 to 1.0)."),
    wordField("Spew number", "How many of this object to spew if we are to spew it."),
    textField("Spew object", "Table name of the object to spew (for this slot)."),
} };
} // namespace
const Layout layout = { items, "spew" };
} // namespace SpewSlot

namespace Animation {
namespace {
const std::array<Item, 3> items = { {
    wordField("From frame", "Starting frame of animation."),
    wordField("To frame", "End frame of animation."),
    floatField("Seconds per class", "How long the animation should last."),
} };
const std::array<Item, 1> soundItems = { { textField("Sound name",
                                                     "Table Sound Name for this animation.") } };
} // namespace
const Layout layout = { items, "animations" };
const Layout soundLayout = { soundItems, "animation_sounds" };
} // namespace Animation

namespace ObjectSounds {
namespace {
constexpr const char *soundHint = "Table Sound Name.";
const std::array<Item, count> items = { {
    textField("Sound name 1", soundHint),
    textField("Sound name 2", soundHint),
    textField("AI Sound name 1", soundHint),
    textField("AI Sound name 2", soundHint),
    textField("AI Sound name 3", soundHint),
    textField("AI Sound name 4", soundHint),
    textField("AI Sound name 5", soundHint),
} };
} // namespace
const Layout layout = { items, "sounds" };
} // namespace ObjectSounds

namespace DeathTypes {
namespace Type {
namespace {
const std::array<Item, 4> items = { {
    field(unknownField(IntBits, "Death flags", unknownYet)),
    floatField("Death delay min.", "Minimum amount of time for this death to last."),
    floatField("Death delay max.", "Maximum amount of time for this death to last."),
    field({ Byte, "Death probability",
            "Probability of this death happening(0 to 100, all add to 100)", integer }),
} };
} // namespace
const Layout layout = { items, "types" };
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
const Layout layout = { items, "deaths" };
} // namespace DeathTypes

const std::array<const char *, 4> objectTypes = { "Robot", "Powerup", "Clutter", "Building" };

const std::array<const char *, 14> flagItems = {
    "AI Control",
    "Use Physics",
    "Destroyable",
    "Selectable(I)",
    "Non-Useable(I)",
    "Mission Type(I)",
    "No Remove(I)",
    "Visible(I)",
    "AI Scripted Death",
    "Ceiling Check",
    "No Forcefields & glass",
    "No Different Damage",
    "No Different Move",
    "Ambient Object",
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
    textField("Name", "Table Name of the object."),
    textField("Image name", "High resolution .QMF filename for the object polymodel."),
    textField("Med. Image name", "Medium resolution .QMF filename for the object polymodel."),
    textField("Small Image name", "Low resolution .QMF filename for the object polymodel."),
    floatField("Impact size", noInformation),
    floatField("Impact time", noInformation),
    floatField("Damage", noInformation),
    wordField("Score", "Score gained by the player by destroying this object."),
    when(wordField("Ammo",
                   "How much ammo this powerup contains by default. *ONLY USED BY POWERUPS*"),
         isPowerup),
    hidden({ String, "spare text A", "" }),
    textField(
        "Module name",
        "The filename of the VESPRA module that contains the default script for this object."),
    textField("Script override", "Name of the script in the module name."),
    hidden({ Byte, "spare flag", "" }),
    when(hidden({ String, "spare text B", "" }), hasSpareB),
    hidden({ String, "spare text C", "" }),
    floatField("Medium LOD distance", "Distance at which the medium resolution model is used."),
    floatField("Low LOD distance", "Distance at which the low resolution model is used."),
    block(PhysicsBlock::layout),
    floatField("Size", "Object size."),
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
    floatField("Respawn scalar",
               "Used for powerups to scale how often they respawn in multiplayer games. Normal is "
               "1.0."),
    block(DeathTypes::layout),
} };
} // namespace

const Layout layout = { items };
} // namespace GenericPage
