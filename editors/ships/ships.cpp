#include "ships.h"

#include "physics.h"
#include "shareddialogs.h"
#include "shippage.h"
#include "shipweapons.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {
// The names and models; distances, size, armor and flags.
constexpr std::array kColumns = { int(ShipPage::Name), int(ShipPage::MediumLod) };
} // namespace

ShipEditor::ShipEditor(PageLists &lists, UserDialogs &dialogs, SharedDialogs &shared,
                       QWidget *parent)
    : PageEditor(lists, dialogs, PageKind::Ship, kColumns, parent)
    , m_shared(shared)
{
    connect(addButton(u"&Weapons"_s, u"Show the weapon batteries dialog."_s), &QPushButton::clicked,
            this, &ShipEditor::editWeapons);
    connect(addButton(u"&Physics"_s, u"Display the physics dialog of this object."_s),
            &QPushButton::clicked, this, &ShipEditor::editPhysics);
}

void ShipEditor::editWeapons()
{
    editSettings(weaponsWindow(), shownValues());
}

ShipWeaponsWindow &ShipEditor::weaponsWindow()
{
    return ownWindow(m_weapons);
}

void ShipEditor::editPhysics()
{
    editSettings(m_shared.physics(), shownBlock(ShipPage::Physics));
}
