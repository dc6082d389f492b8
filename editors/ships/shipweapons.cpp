#include "shipweapons.h"

#include "fieldform.h"
#include "shippage.h"

using namespace Qt::StringLiterals;
namespace Weapon = ShipPage::Weapon;

namespace {
constexpr std::array kOneColumn = { 0 };
} // namespace

ShipWeaponsWindow::ShipWeaponsWindow(UserDialogs &dialogs, QWidget *parent)
    : BatteryWindow(
          dialogs,
          { u"Ship weapons"_s,
            u"shipweapons"_s,
            u"Previous weapon."_s,
            u"Next weapon."_s,
            { u"Apply modifications to ship weapons."_s, u"Close the ship weapons dialog."_s } },
          parent)
{
    m_entryForm = new FieldForm(Weapon::layout, kOneColumn, help(), check(), this,
                                Weapon::FireSound, Weapon::Battery);
    m_fireFlagsForm = new FieldForm(Weapon::layout, kOneColumn, help(), check(), this,
                                    Weapon::FireFlags, Weapon::FireSound);
    addEntryFields(m_entryForm, m_fireFlagsForm);
}

void ShipWeaponsWindow::load(std::vector<Values> &weapons)
{
    m_weapons = &weapons;
    SettingsWindow::load();
}

void ShipWeaponsWindow::edit(std::vector<Values> &weapons)
{
    m_weapons = &weapons;
    SettingsWindow::edit();
}

void ShipWeaponsWindow::takeWorkingCopy()
{
    m_working = *m_weapons;
}

void ShipWeaponsWindow::refill()
{
    const Values &entry = m_working[size_t(shownBattery())];
    m_entryForm->show(entry);
    m_fireFlagsForm->show(entry);
    BatteryWindow::refill();
}

bool ShipWeaponsWindow::keepShown()
{
    Values &entry = m_working[size_t(shownBattery())];
    m_entryForm->keep(entry);
    m_fireFlagsForm->keep(entry);
    return BatteryWindow::keepShown();
}

void ShipWeaponsWindow::handBack()
{
    *m_weapons = m_working;
}

Values &ShipWeaponsWindow::battery(int b)
{
    return m_working[size_t(b)].entries(Weapon::Battery).front();
}

Values &ShipWeaponsWindow::gunpointName(int b, int g)
{
    return m_working[size_t(b)].entries(Weapon::GunpointNames)[size_t(g)];
}

Values &ShipWeaponsWindow::maskSound(int b, int m)
{
    return m_working[size_t(b)].entries(Weapon::MaskSounds)[size_t(m)];
}
