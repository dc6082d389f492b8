#include "doorpage.h"

#include "editorkinds.h"

namespace DoorPage {

const std::array<const char *, 2> flagItems = { "Blastable", "See Through" };

using enum FieldEncoding;

// No field has a check on leaving: a bad number is found when the record is built.
const std::array<FieldSpec, FieldCount> fields = { {
    { String, "Door name", "Used by Varnak to refer to this door by name." },
    { String, "Model name", "Filename of the .QMF file used for the polymodel of the door." },
    { Float, "Opening time", "Time in seconds it takes for the door to open." },
    { Float, "Close time", "Time in seconds it takes for the door to close." },
    { Float, "Open time", "Time in seconds the door stays open." },
    { ByteBits, "Flags", "Door flags. For more details, see the flags.txt file in VKCP directory.",
      std::nullopt, flagItems },
    { Word, "Hit points", "How many hitpoints this door has (for destroyable doors)." },
    { String, "Open sound", "VK Sound Page name for the sound to play when this door opens." },
    { String, "Close sound", "VK Sound Page name for the sound to play when this door closes." },
    { String, "Module name", "VESPRA module name." },
} };

const PageFormat format = { PageKind::Door,
                            QLatin1StringView(editorTexts(PageKind::Door).newPageName), fields };

} // namespace DoorPage
