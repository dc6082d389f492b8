#include "lighting.h"

#include "sharedblocks.h"

using namespace Qt::StringLiterals;

namespace {
// The light and its colours, then the flags, time bits, angle and render type.
constexpr std::array kColumns = { int(LightingBlock::LightDistance), int(LightingBlock::Flags) };
} // namespace

LightingWindow::LightingWindow(UserDialogs &dialogs, QWidget *parent)
    : BlockWindow(
          dialogs, LightingBlock::layout, kColumns,
          { u"Lighting"_s,
            u"lighting"_s,
            { u"Apply modifications made to lighting."_s, u"Close the lighting dialog."_s } },
          parent)
{ }
