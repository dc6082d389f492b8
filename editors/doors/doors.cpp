#include "doors.h"

#include "doorpage.h"

namespace {
// The model and the timing in the first column, the flags, hit points and names in the second.
constexpr std::array kColumns = { int(DoorPage::Name), int(DoorPage::Flags) };
} // namespace

DoorEditor::DoorEditor(Workspace &workspace, UserDialogs &dialogs, QWidget *parent)
    : PageEditor(workspace, dialogs, PageKind::Door, kColumns, parent)
{ }
