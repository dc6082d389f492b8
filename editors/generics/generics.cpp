#include "generics.h"

#include "fieldform.h"
#include "genericdialogs.h"
#include "genericpage.h"
#include "lighting.h"
#include "physics.h"
#include "shareddialogs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {
// Type, names, impact and score; ammo, script, distances, size, hit points, flags and the
// respawn scalar.
constexpr std::array kColumns = { int(GenericPage::ObjectType), int(GenericPage::Ammo) };
} // namespace

GenericEditor::GenericEditor(PageLists &lists, UserDialogs &dialogs, SharedDialogs &shared,
                             QWidget *parent)
    : PageEditor(lists, dialogs, PageKind::Generic, kColumns, parent)
    , m_shared(shared)
{
    const auto button = [this](const QString &text, const QString &what,
                               void (GenericEditor::*open)()) {
        connect(addButton(text, u"Display the %1 dialog of this object."_s.arg(what)),
                &QPushButton::clicked, this, open);
    };
    button(u"&Physics"_s, u"physics"_s, &GenericEditor::editPhysics);
    button(u"&Lighting"_s, u"lighting"_s, &GenericEditor::editLighting);
    // Alt+A is Apply's.
    button(u"A&I"_s, u"AI"_s, &GenericEditor::editAi);
    button(u"Spe&w"_s, u"spew"_s, &GenericEditor::editSpew);
    button(u"Class&es"_s, u"classes"_s, &GenericEditor::editClasses);
    button(u"&Batteries"_s, u"weapon batteries"_s, &GenericEditor::editBatteries);
    button(u"&Sounds"_s, u"sounds"_s, &GenericEditor::editSounds);
    button(u"&Death"_s, u"death"_s, &GenericEditor::editDeaths);

    // Only a powerup stores ammo: for any other type the field is empty and takes no typing.
    QComboBox *type = form().choice(GenericPage::ObjectType);
    QLineEdit *ammo = form().edit(GenericPage::Ammo);
    const auto guardAmmo = [type, ammo] {
        const int index = type->currentIndex();
        const bool powerup =
            index >= 0 && GenericPage::objectTypes[size_t(index)].code == GenericPage::powerup;
        ammo->setEnabled(powerup);
        if (!powerup && !ammo->text().isEmpty())
            ammo->clear();
    };
    connect(type, &QComboBox::currentIndexChanged, this, guardAmmo);
    // Showing a page fills the field after its type, whatever that is.
    connect(ammo, &QLineEdit::textChanged, this, guardAmmo);
    guardAmmo();
}

void GenericEditor::putBlocks(PageBody &body) const
{
    // A page that is no powerup has no ammo: the emptied field is no change to it.
    Values &page = body.values;
    if (maskOf(page.field(GenericPage::ObjectType)) != GenericPage::powerup)
        page.field(GenericPage::Ammo) = initialValue(GenericPage::layout[GenericPage::Ammo].field);
}

void GenericEditor::editPhysics()
{
    editSettings(m_shared.physics(), shownBlock(GenericPage::Physics));
}

void GenericEditor::editLighting()
{
    editSettings(m_shared.lighting(), shownBlock(GenericPage::Lighting));
}

void GenericEditor::editAi()
{
    editSettings(aiWindow(), shownBlock(GenericPage::Ai));
}

void GenericEditor::editSpew()
{
    editSettings(spewWindow(), shownValues());
}

void GenericEditor::editClasses()
{
    editSettings(classesWindow(), shownValues());
}

void GenericEditor::editBatteries()
{
    editSettings(batteriesWindow(), shownValues());
}

void GenericEditor::editSounds()
{
    editSettings(soundsWindow(), shownBlock(GenericPage::Sounds));
}

void GenericEditor::editDeaths()
{
    editSettings(deathsWindow(), shownBlock(GenericPage::Deaths));
}

AiWindow &GenericEditor::aiWindow()
{
    return ownWindow(m_ai);
}

SpewWindow &GenericEditor::spewWindow()
{
    return ownWindow(m_spew);
}

ClassesWindow &GenericEditor::classesWindow()
{
    return ownWindow(m_classes);
}

GenericBatteryWindow &GenericEditor::batteriesWindow()
{
    return ownWindow(m_batteries);
}

ObjectSoundsWindow &GenericEditor::soundsWindow()
{
    return ownWindow(m_sounds);
}

DeathTypesWindow &GenericEditor::deathsWindow()
{
    return ownWindow(m_deaths);
}
