#include "doorpage.h"

namespace DoorPage {

const std::array<const char *, 2> flagItems = { "Blastable", "See Through" };

using enum FieldEncoding;

// No field has a check on leaving: a bad number is found when the record is built.
const std::array<Item, ItemCount> items = { {
    field("door_name", { String, "Door name", "Used by Varnak to refer to this door by name." }),
    field(
        "model_name",
        { String, "Model name", "Filename of the .QMF file used for the polymodel of the door." }),
    field("opening_time",
          { Float, "Opening time", "Time in seconds it takes for the door to open." }),
    field("close_time", { Float, "Close time", "Time in seconds it takes for the door to close." }),
    field("open_time", { Float, "Open time", "Time in seconds the door stays open." }),
    field("flags",
          { ByteBits, "Flags",
            "Door flags. For more details, see the flags.txt file in VKCP directory.", std::nullopt,
            flagItems }),
    field("hit_points",
          { Word, "Hit points", "How many hitpoints this door has (for destroyable doors)." }),
    refersTo(soundPages,
             field("open_sound",
                   { String, "Open sound",
                     "VK Sound Page name for the sound to play when this door opens." })),
    refersTo(soundPages,
             field("close_sound",
                   { String, "Close sound",
                     "VK Sound Page name for the sound to play when this door closes." })),
    field("module_name", { String, "Module name", "VESPRA module name." }),
} };

const Layout layout = { items };

} // namespace DoorPage
