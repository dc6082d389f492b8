#include "texturepage.h"

namespace TexturePage {

const std::array<ChoiceItem, 4> coronaItems = {
    { { "A", 0 }, { "B", 1 }, { "C", 2 }, { "D", 3 } }
};

const std::array<const char *, 32> flagItems = {
    "Volatile",
    "Water",
    "Metal",
    "Marble",
    "Plastic",
    "Forcefield",
    "Animated",
    "Destroyable",
    "Effect",
    "HUD Cockpit",
    "Mine",
    "Terrain",
    "Object",
    "Texture 64bits",
    "TMap2",
    "Texture 32bits",
    "Fly through",
    "Pass through",
    "Ping Pong",
    "Light",
    "Breakable",
    "Saturate",
    "Alpha",
    "Don't use",
    "Procedural",
    "Water Procedural",
    "Force Lightmap",
    "Saturate Lightmap",
    "Texture 256 colors",
    "Lava",
    "Rubble",
    "Smooth Specular",
};

using enum FieldEncoding;
constexpr auto integer = NumberField::Integer;
constexpr auto floating = NumberField::Float;

namespace ProceduralBlock {

const FieldSpec colourField = { Word, "16 bit color", "", integer };
const std::array<Item, 1> colourItems = { field("color", colourField) };
const Layout colourLayout = { colourItems, "palette" };

const std::array<Item, ElementValueCount> elementItems = { {
    field("type", { Byte, "Type", "Type of procedural element.", integer }),
    field("freq", { Byte, "Freq", "Frequency of procedural element", integer }),
    field("speed", { Byte, "Speed", "Speed of procedural element", integer }),
    field("size", { Byte, "Size", "Size of procedural element", integer }),
    field("x1", { Byte, "X1", "X1 value of procedural element", integer }),
    field("y1", { Byte, "Y1", "Y1 value of procedural element", integer }),
    field("x2", { Byte, "X2", "X2 value of procedural element", integer }),
    field("y2", { Byte, "Y2", "Y2 value of procedural element", integer }),
} };
const Layout elementLayout = { elementItems, "elements" };

const std::array<Item, ItemCount> items = { {
    captioned("Palette color %1", block(colourLayout, paletteSize)),
    field("heat", { Byte, "Heat", "'Heat' intensity", integer }),
    field("light", { Byte, "Light", "???", integer }),
    field("thickness", { Byte, "Thickness", "???", integer }),
    field("evaluation_time", { Float, "Evaluation time", "???", floating }),
    field("osc_time", { Float, "Osc. time", "???", floating }),
    field("osc_value", { Byte, "Osc. value", "???", integer }),
    field("number_of_procedural_elements",
          { Word,
            "Number of procedural elements",
            "Number of procedural elements. Max is 8000.",
            integer,
            {},
            {},
            nullptr,
            IntRange { 1, maxElements, "This value must be between 1 and 8000" },
            false,
            1 }),
    captioned("Procedural element %1",
              countedBlock(elementLayout, "number_of_procedural_elements", maxElements,
                           "procedural block", "elements")),
} };
const Layout layout = { items, "procedural" };

Values defaults()
{
    return blankValues(layout);
}

} // namespace ProceduralBlock

const std::array<Item, ItemCount> items = { {
    field("name", { String, "Name", "VK Tablefile name for this texture." }),
    field("bitmap_name", { String, "Bitmap name", "Filename of the .QBF file for this texture." }),
    field("destroy_name",
          { String, "Destroy name",
            "Filename of the .QBF file to be used as a 'destroyed' version of this texture." }),
    field(
        "red",
        { Float, "Red", "Red component of the light this texture gives off (0 to 1.0)", floating }),
    field("green",
          { Float, "Green", "Green component of the light this texture gives off (0 to 1.0)",
            floating }),
    field("blue",
          { Float, "Blue", "Blue component of the light this texture gives off (0 to 1.0)",
            floating }),
    field("alpha",
          { Float, "Alpha", "Alpha value of the entire texture (0 to 1.0, 0 being transparent)",
            floating }),
    field("speed", { Float, "Speed", "Speed of the texture (?\?\?\?) (0 to 1.0)", floating }),
    field(
        "u_slide",
        { Float, "U Slide", "Speed of the sliding of this texture in the U direction.", floating }),
    field(
        "v_slide",
        { Float, "V Slide", "Speed of the sliding of this texture in the V direction.", floating }),
    field("reflectivity",
          { Float, "Reflectivity",
            "Reflectivity value of this texture, used during radiosity lighting (0 to 1.0)",
            floating }),
    field("corona_style",
          { .encoding = Choice,
            .caption = "Corona Style",
            .hint = "Which type of corona this texture should give off (used if the texture "
                    "gives off light).",
            .choices = coronaItems }),
    field("damage",
          { Int, "Damage",
            "Amount of damage per second this texture does if an object collides with it.",
            integer }),
    field("flags",
          { IntBits, "Flags",
            "Texture flags. For more details, see the flags.txt file in VKCP directory.",
            std::nullopt, flagItems }),
    captioned("Procedural texture", flaggedBlock(ProceduralBlock::layout, "flags", proceduralFlag)),
    refersTo(soundPages,
             field("sound_name",
                   { String, "Sound name",
                     "VK Table Name of the sound to be associated with this texture." })),
    field("volume", { Float, "Volume", "Volume of the sound(from 0 to 1).", floating }),
} };

const Layout layout = { items };

} // namespace TexturePage
