#include "soundpage.h"

#include "editorkinds.h"

namespace SoundPage {

const std::array<const char *, 9> flagItems = {
    "Looped",     "Fixed Frequence", "Object Update",   "Forever",         "Plays Exclusively",
    "Plays Once", "Use Cone",        "Listener Update", "Once per Object",
};

using enum FieldEncoding;
constexpr auto integer = NumberField::Integer;
constexpr auto floating = NumberField::Float;

const std::array<FieldSpec, FieldCount> fields = { {
    { String, "Sound Name", "VK Tablefile name of this sound." },
    { String, "Sound Filename", ".WAV file for this sound." },
    { IntBits, "Flags", "Sound flags. For more details, see the flags.txt file in VKCP directory.",
      std::nullopt, flagItems },
    { Int, "Loop start", "Sample value for start of a loop (looping sounds)", integer },
    { Int, "Loop end", "Sample value for end of a loop (looping sounds)", integer },
    { Float, "Outer cone volume", "Percentage of volume for outer cone.", floating },
    { Int, "Inner cone Angle", "Degrees for inner cone.", integer },
    { Int, "Outer cone Angle", "Degrees for outer cone.", integer },
    { Float, "Max distance", "Maximum sound clipping distance.", floating },
    { Float, "Min distance", "Minimum sound clipping distance.", floating },
    { Float, "Import adjust",
      "Percentage of original .WAV file sound volume to use when loading the sound.", floating },
} };

const PageFormat format = { PageKind::Sound,
                            QLatin1StringView(editorTexts(PageKind::Sound).newPageName), fields };

} // namespace SoundPage
