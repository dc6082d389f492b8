#include "soundpage.h"

namespace SoundPage {

const std::array<const char *, 9> flagItems = {
    "Looped",     "Fixed Frequence", "Object Update",   "Forever",         "Plays Exclusively",
    "Plays Once", "Use Cone",        "Listener Update", "Once per Object",
};

using enum FieldEncoding;
constexpr auto integer = NumberField::Integer;
constexpr auto floating = NumberField::Float;

const std::array<Item, ItemCount> items = { {
    field("sound_name", { String, "Sound Name", "VK Tablefile name of this sound." }),
    field("sound_filename", { String, "Sound Filename", ".WAV file for this sound." }),
    field("flags",
          { IntBits, "Flags",
            "Sound flags. For more details, see the flags.txt file in VKCP directory.",
            std::nullopt, flagItems }),
    field("loop_start",
          { Int, "Loop start", "Sample value for start of a loop (looping sounds)", integer }),
    field("loop_end",
          { Int, "Loop end", "Sample value for end of a loop (looping sounds)", integer }),
    field("outer_cone_volume",
          { Float, "Outer cone volume", "Percentage of volume for outer cone.", floating }),
    field("inner_cone_angle", { Int, "Inner cone Angle", "Degrees for inner cone.", integer }),
    field("outer_cone_angle", { Int, "Outer cone Angle", "Degrees for outer cone.", integer }),
    field("max_distance", { Float, "Max distance", "Maximum sound clipping distance.", floating }),
    field("min_distance", { Float, "Min distance", "Minimum sound clipping distance.", floating }),
    field("import_adjust",
          { Float, "Import adjust",
            "Percentage of original .WAV file sound volume to use when loading the sound.",
            floating }),
} };

const Layout layout = { items };

} // namespace SoundPage
