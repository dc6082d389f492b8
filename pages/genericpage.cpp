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

const std::array<ChoiceItem, 9> types = { {
    { "Fly Lander", 0 },
    { "Stalker", 1 },
    { "Evader 1", 2 },
    { "Evader 2", 3 },
    { "Stationary Turret", 4 },
    { "AIS", 5 },
    { "Melee 1", 6 },
    { "Bird Flock 1", 7 },
    { "Herd 1", 8 },
} };
const std::array<ChoiceItem, 6> walkingSubtypes = { {
    { "Flat", 0 },
    { "Low angle", 1 },
    { "High angle", 2 },
    { "Non restricted", 3 },
    { "Underwater only", 4 },
    { "Water surface", 5 },
} };
const std::array<ChoiceItem, 7> flyingSubtypes = { {
    { "Normal", 0 },
    { "Path", 1 },
    { "Helicopter", 2 },
    { "Hovercraft", 3 },
    { "Jet", 4 },
    { "Playerlike", 5 },
    { "Buddylike", 6 },
} };

namespace {
const std::array<ChoiceItem, 2> movementTypes = { { { "Walk", 0 }, { "Fly", 1 } } };
const std::array<std::span<const ChoiceItem>, 2> subtypeLists = { walkingSubtypes, flyingSubtypes };
const ItemsBy subtypes = { MovementType, subtypeLists };

const std::array<Item, ItemCount> items = { {
    field("ai_flags", unknownField(IntBits, "AI flags", unknownYet)),
    field("ai_class", unknownField(Choice, "AI Class", unknownYet)),
    field("ai_type",
          { .encoding = Choice,
            .caption = "AI Type",
            .hint = "AI Type for object.",
            .choices = types }),
    field("ai_movement_type",
          { .encoding = Choice,
            .caption = "AI Movement type",
            .hint = "AI Movement type for object.",
            .choices = movementTypes }),
    field("movement_subtype",
          { .encoding = Choice,
            .caption = "Movement Subtype",
            .hint = "AI Movement subtype for this object.",
            .itemsBy = &subtypes }),
    floatField("ai_fov", "AI FOV", "Cosinus of the AI Field of View for object."),
    floatField("ai_max_velocity", "AI Max Velocity", "Maximum velocity."),
    floatField("ai_max_delta_velocity", "AI Max Delta Velocity", "Maximum delta velocity."),
    floatField("ai_max_turn_rate", "AI Max Turn Rate", "Maximum turn rate."),
    field("notify_flags", unknownField(IntBits, "Notify flags", unknownYet)),
    floatField("ai_max_delta_turn_rate", "AI Max Delta Turn Rate", "Maximum Delta Turn Rate."),
    floatField("ai_circle_distance", "AI Circle Distance",
               "Distance the object should circle it's targets at."),
    floatField("ai_attack_vel_percent", "AI Attack Vel %", "From 0 to 1.0."),
    floatField("ai_dodge_percent", "AI Dodge %", "From 0 to 1.0."),
    floatField("ai_dodge_vel_percent", "AI Dodge Vel %", "From 0 to 1.0."),
    floatField("ai_flee_percent", "AI Flee %", "From 0 to 1.0."),
    floatField("ai_melee_damage_1", "AI Melee Damage 1", noInformation),
    floatField("ai_melee_damage_2", "AI Melee Damage 2", noInformation),
    floatField("ai_melee_latency_1", "AI Melee Latency 1", noInformation),
    floatField("ai_melee_latency_2", "AI Melee Latency 2", noInformation),
    floatField("ai_curiosity", "AI Curiousity", noInformation),
    floatField("ai_night_vision", "AI Night Vision", noInformation),
    floatField("ai_fog_vision", "AI Fog Vision", noInformation),
    floatField("ai_lead_accuracy", "AI Lead Accuracy", noInformation),
    floatField("ai_lead_variance", "AI Lead Varience", noInformation),
    floatField("ai_fire_spread", "AI Fire Spread", noInformation),
    floatField("ai_fight_team", "AI Fight Team", noInformation),
    floatField("ai_fight_same", "AI Fight Same", noInformation),
    floatField("ai_aggression", "AI Agression", noInformation),
    floatField("ai_hearing", "AI Hearing", noInformation),
    floatField("ai_frustration", "AI Frustration", noInformation),
    floatField("ai_roaming", "AI Roaming", noInformation),
    floatField("ai_life_preservation", "AI Life Preservation", noInformation),
    floatField("ai_avoid_friends_distance", "AI Avoid Friends Distance", noInformation),
    floatField("ai_biased_flight_importance", "AI Biased Flight Importance", noInformation),
    floatField("ai_biased_flight_min", "AI Biased Flight Min", noInformation),
    floatField("ai_biased_flight_max", "AI Biased Flight Max", noInformation),
} };
} // namespace

const Layout layout = { items, "ai" };
} // namespace AiBlock

namespace SpewSlot {
namespace {
const std::array<Item, 4> items = { {
    field("spew_flags", unknownField(ByteBits, "Spew flags", "Spew flags. Unknown by this time.")),
    floatField("spew_percent", "Spew %", "Percent Chance that this object would spew. (0 to 1.0)."),
    wordField("spew_number", "Spew number",
              "How many of this object to spew if we are to spew it."),
    refersTo(objectPages,
             textField("spew_object", "Spew object",
                       "Table name of the object to spew (for this slot).")),
} };
} // namespace
const Layout layout = { items, "spew" };
} // namespace SpewSlot

namespace Animation {
namespace {
const std::array<Item, 3> items = { {
    wordField("from_frame", "From frame", "Starting frame of animation."),
    wordField("to_frame", "To frame", "End frame of animation."),
    floatField("seconds_per_class", "Seconds per class", "How long the animation should last."),
} };
const std::array<Item, 1> soundItems = { { refersTo(
    soundPages, textField("sound_name", "Sound name", "Table Sound Name for this animation.")) } };
} // namespace
const Layout layout = { items, "animations" };
const Layout soundLayout = { soundItems, "animation_sounds" };
} // namespace Animation

namespace ObjectSounds {
namespace {
constexpr const char *soundHint = "Table Sound Name.";
const std::array<Item, count> items = { {
    refersTo(soundPages, textField("sound_name_1", "Sound name 1", soundHint)),
    refersTo(soundPages, textField("sound_name_2", "Sound name 2", soundHint)),
    refersTo(soundPages, textField("ai_sound_name_1", "AI Sound name 1", soundHint)),
    refersTo(soundPages, textField("ai_sound_name_2", "AI Sound name 2", soundHint)),
    refersTo(soundPages, textField("ai_sound_name_3", "AI Sound name 3", soundHint)),
    refersTo(soundPages, textField("ai_sound_name_4", "AI Sound name 4", soundHint)),
    refersTo(soundPages, textField("ai_sound_name_5", "AI Sound name 5", soundHint)),
} };
} // namespace
const Layout layout = { items, "sounds" };
} // namespace ObjectSounds

namespace DeathTypes {
namespace Type {
namespace {
const std::array<Item, 4> items = { {
    field("death_flags", unknownField(IntBits, "Death flags", unknownYet)),
    floatField("death_delay_min", "Death delay min.",
               "Minimum amount of time for this death to last."),
    floatField("death_delay_max", "Death delay max.",
               "Maximum amount of time for this death to last."),
    field("death_probability",
          { Byte, "Death probability",
            "Probability of this death happening(0 to 100, all add to 100)", integer }),
} };
} // namespace
const Layout layout = { items, "types" };
} // namespace Type

namespace {
const std::array<Item, 2> items = { {
    field("number_of_deaths",
          { .encoding = Word,
            .caption = "Number of deaths",
            .hint = "Number of types of deaths for this object. Max is 4.",
            .check = integer,
            .range = IntRange { 1, maxCount, "Number of death types must be between 1 and 4" },
            .initial = 1 }),
    captioned(
        "Death type %1",
        countedBlock(Type::layout, "number_of_deaths", maxCount, "death block", "death types")),
} };
} // namespace
const Layout layout = { items, "deaths" };
} // namespace DeathTypes

const std::array<ChoiceItem, 4> objectTypes = {
    { { "Robot", 2 }, { "Powerup", powerup }, { "Clutter", 11 }, { "Building", 16 } }
};

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
    field("object_type",
          { .encoding = Choice,
            .caption = "Object type",
            .hint = "Type of generic object.",
            .choices = objectTypes,
            .initial = 2 }),
    textField("name", "Name", "Table Name of the object."),
    textField("image_name", "Image name",
              "High resolution .QMF filename for the object polymodel."),
    textField("med_image_name", "Med. Image name",
              "Medium resolution .QMF filename for the object polymodel."),
    textField("small_image_name", "Small Image name",
              "Low resolution .QMF filename for the object polymodel."),
    floatField("impact_size", "Impact size", noInformation),
    floatField("impact_time", "Impact time", noInformation),
    floatField("damage", "Damage", noInformation),
    wordField("score", "Score", "Score gained by the player by destroying this object."),
    when(wordField("ammo", "Ammo",
                   "How much ammo this powerup contains by default. *ONLY USED BY POWERUPS*"),
         isPowerup),
    hidden("spare_text_a", { String, "spare text A", "" }),
    textField(
        "module_name", "Module name",
        "The filename of the VESPRA module that contains the default script for this object."),
    textField("script_override", "Script override", "Name of the script in the module name."),
    hidden("spare_flag", { Byte, "spare flag", "" }),
    when(hidden("spare_text_b", { String, "spare text B", "" }), hasSpareB),
    hidden("spare_text_c", { String, "spare text C", "" }),
    floatField("medium_lod_distance", "Medium LOD distance",
               "Distance at which the medium resolution model is used."),
    floatField("low_lod_distance", "Low LOD distance",
               "Distance at which the low resolution model is used."),
    captioned("Physics", block(PhysicsBlock::layout)),
    floatField("size", "Size", "Object size."),
    captioned("Lighting", block(LightingBlock::layout)),
    field("hit_points",
          { Int, "Hit points", "The amount of shields this object has by default.", integer }),
    field("flags",
          { IntBits, "Flags",
            "Generic flags. For more details, see the flags.txt file in VKCP directory.",
            std::nullopt, flagItems }),
    captioned("AI", block(AiBlock::layout)),
    captioned("Spew #%1", block(SpewSlot::layout, SpewSlot::count)),
    captioned("Classes #%1", animationsPerClass, "Animation %1",
              block(Animation::layout, animations)),
    captioned("Weapon Batteries #%1", block(WeaponBattery::layout, WeaponBattery::count)),
    captioned("Weapon Batteries #%1", WeaponBattery::gunpoints, "Gunpoint %1",
              block(WeaponBattery::Gunpoint::nameLayout, batteryTexts)),
    captioned("Object sounds", block(ObjectSounds::layout)),
    captioned("Weapon Batteries #%1", WeaponBattery::masks, "Firing mask %1",
              block(WeaponBattery::Mask::soundLayout, batteryTexts)),
    captioned("Classes #%1", animationsPerClass, "Animation %1",
              block(Animation::soundLayout, animations)),
    floatField("respawn_scalar", "Respawn scalar",
               "Used for powerups to scale how often they respawn in multiplayer games. Normal is "
               "1.0."),
    captioned("Death types", block(DeathTypes::layout)),
} };
} // namespace

const Layout layout = { items };
} // namespace GenericPage
