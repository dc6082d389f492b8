#include "sounds.h"

#include "soundpage.h"

namespace {
// The names and the flags in the first column, the numbers in the second.
constexpr std::array kColumns = { int(SoundPage::Name), int(SoundPage::LoopStart) };
} // namespace

SoundEditor::SoundEditor(PageLists &lists, UserDialogs &dialogs, QWidget *parent)
    : PageEditor(lists, dialogs, PageKind::Sound, kColumns, parent)
{ }
