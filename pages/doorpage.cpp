#include "doorpage.h"

namespace DoorPage {

const std::array<const char *, 2> flagItems = { "Blastable", "See Through" };

using enum FieldEncoding;

// No field has a check on leaving: a bad number is found when the record is built.
const std::array<Item, ItemCount> items = { {
    field({ String, "Door name", "Used by Varnak to refer to this door by name." }),
    field(
        { String, "Model name", "Filename of the .QMF file used for the polymodel of the door." }),
    field({ Float, "Opening time", "Time in seconds it takes for the door to open." }),
    field({ Float, "Close time", "Time in seconds it takes for the door to close." }),
    field({ Float, "Open time", "Time in seconds the door stays open." }),
    field({ ByteBits, "Flags",
            "Door flags. For more details, see the flags.txt file in VKCP directory.", std::nullopt,
            flagItems }),
    field({ Word, "Hit points", "How many hitpoints this door has (for destroyable doors)." }),
    field(
        { String, "Open sound", "VK Sound Page name for the sound to play when this door opens." }),
    field({ String, "Close sound",
            "VK Sound Page name for the sound to play when this door closes." }),
    field({ String, "Module name", "VESPRA module name." }),
} };

const Layout layout = { items };

} // namespace DoorPage
