#include "soundslot.h"

#include "sharedblocks.h"

using namespace Qt::StringLiterals;

namespace {
constexpr std::array kOneColumn = { 0 };
} // namespace

SoundSlotWindow::SoundSlotWindow(UserDialogs &dialogs, QWidget *parent)
    : BlockWindow(
          dialogs, SoundSlots::layout, kOneColumn,
          { u"Sounds"_s, u"soundslot"_s, { u"Apply modifications."_s, QString(), u"Close"_s } },
          parent)
{ }
