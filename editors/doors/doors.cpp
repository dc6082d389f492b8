#include "doors.h"

#include "doorpage.h"

namespace {
// The model and the timing in the first column, the flags, hit points and names in the second.
constexpr std::array kColumns = { int(DoorPage::Name), int(DoorPage::Flags) };
} // namespace

DoorEditor::DoorEditor(PageLists &lists, UserDialogs &dialogs, QWidget *parent)
    : PageEditor(lists, dialogs, PageKind::Door, kColumns, parent)
{ }
