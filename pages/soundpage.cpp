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
    field({ String, "Sound Name", "VK Tablefile name of this sound." }),
    field({ String, "Sound Filename", ".WAV file for this sound." }),
    field({ IntBits, "Flags",
            "Sound flags. For more details, see the flags.txt file in VKCP directory.",
            std::nullopt, flagItems }),
    field({ Int, "Loop start", "Sample value for start of a loop (looping sounds)", integer }),
    field({ Int, "Loop end", "Sample value for end of a loop (looping sounds)", integer }),
    field({ Float, "Outer cone volume", "Percentage of volume for outer cone.", floating }),
    field({ Int, "Inner cone Angle", "Degrees for inner cone.", integer }),
    field({ Int, "Outer cone Angle", "Degrees for outer cone.", integer }),
    field({ Float, "Max distance", "Maximum sound clipping distance.", floating }),
    field({ Float, "Min distance", "Minimum sound clipping distance.", floating }),
    field({ Float, "Import adjust",
            "Percentage of original .WAV file sound volume to use when loading the sound.",
            floating }),
} };

const Layout layout = { items };

} // namespace SoundPage
