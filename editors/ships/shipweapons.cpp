#include "shipweapons.h"

#include "fieldform.h"
#include "shippage.h"

using namespace Qt::StringLiterals;
namespace Weapon = ShipPage::Weapon;

namespace {
// The fire flags; the sounds, the powerup and the ammo.
constexpr std::array kEntryColumns = { int(Weapon::FireFlags), int(Weapon::FireSound) };
} // namespace

ShipWeaponsWindow::ShipWeaponsWindow(UserDialogs &dialogs, QWidget *parent)
    : BatteryWindow(dialogs,
                    { u"Ship weapons"_s,
                      u"shipweapons"_s,
                      u"Previous weapon."_s,
                      u"Next weapon."_s,
                      { u"Apply modifications to ship weapons."_s,
                        u"Close the ship weapons dialog."_s } },
                    parent)
{
    m_entryForm = new FieldForm(Weapon::layout, kEntryColumns, help(), check(), this,
                                Weapon::FireFlags, Weapon::Battery);
    addEntryFields(m_entryForm);
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
    m_entryForm->show(m_working[size_t(shownBattery())]);
    BatteryWindow::refill();
}

bool ShipWeaponsWindow::keepShown()
{
    m_entryForm->keep(m_working[size_t(shownBattery())]);
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
