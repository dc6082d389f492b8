#include "weapons.h"

#include "fieldform.h"
#include "lighting.h"
#include "physics.h"
#include "shareddialogs.h"
#include "soundslot.h"
#include "weaponpage.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {
// Names, particles, flags, spawns and gravity; sizes, terrain, explosion, impact, smoke and
// icon. Three columns beside the page list would not fit a 1024 x 768 screen; two fit with
// their rows closer together.
constexpr std::array kColumns = { int(WeaponPage::Name), int(WeaponPage::RealSize) };
constexpr int kRowSpacing = 6;
} // namespace

WeaponEditor::WeaponEditor(PageLists &lists, UserDialogs &dialogs, SharedDialogs &shared,
                           QWidget *parent)
    : PageEditor(lists, dialogs, PageKind::Weapon, kColumns, parent)
    , m_shared(shared)
{
    form().setRowSpacing(kRowSpacing);
    const auto button = [this](const QString &text, const QString &hint,
                               void (WeaponEditor::*open)()) {
        connect(addButton(text, hint), &QPushButton::clicked, this, open);
    };
    button(u"&Physics"_s, u"Display the physics dialog of this weapon."_s,
           &WeaponEditor::editPhysics);
    button(u"&Lighting"_s, u"Display the lighting dialog of this weapon."_s,
           &WeaponEditor::editLighting);
    button(u"&Sounds"_s, u"Display the sounds dialog of this weapon."_s, &WeaponEditor::editSounds);
}

void WeaponEditor::editPhysics()
{
    editSettings(m_shared.physics(), shownBlock(WeaponPage::Physics));
}

void WeaponEditor::editLighting()
{
    editSettings(m_shared.lighting(), shownBlock(WeaponPage::Lighting));
}

void WeaponEditor::editSounds()
{
    editSettings(soundWindow(), shownBlock(WeaponPage::Sounds));
}

SoundSlotWindow &WeaponEditor::soundWindow()
{
    return ownWindow(m_sounds);
}
