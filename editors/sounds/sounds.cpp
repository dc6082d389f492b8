#include "sounds.h"

#include "soundpage.h"

namespace {
// The names and the flags in the first column, the numbers in the second.
constexpr std::array kColumns = { int(SoundPage::Name), int(SoundPage::LoopStart) };
} // namespace

SoundEditor::SoundEditor(Workspace &workspace, UserDialogs &dialogs, QWidget *parent)
    : PageEditor(workspace, dialogs, PageKind::Sound, kColumns, parent)
{ }
