#include "shipweapons.h"

#include "fieldform.h"
#include "shippage.h"

using namespace Qt::StringLiterals;
namespace Weapon = ShipPage::Weapon;

namespace {

constexpr std::array kOneColumn = { 0 };

Values &weapon(Values &page, int b)
{
    return page.entries(ShipPage::Weapons)[size_t(b)];
}

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
    auto *entryForm = new FieldForm(Weapon::layout, kOneColumn, help(), check(), this,
                                    Weapon::FireSound, Weapon::Battery);
    auto *fireFlagsForm = new FieldForm(Weapon::layout, kOneColumn, help(), check(), this,
                                        Weapon::FireFlags, Weapon::FireSound);
    addEntryFields(entryForm, fireFlagsForm,
                   [this](Values &working) -> Values & { return weapon(working, shownBattery()); });
    handBackOnly({ ShipPage::Weapons });
}

Values &ShipWeaponsWindow::battery(Values &working, int b)
{
    return weapon(working, b).entries(Weapon::Battery).front();
}

Values &ShipWeaponsWindow::gunpointName(Values &working, int b, int g)
{
    return weapon(working, b).entries(Weapon::GunpointNames)[size_t(g)];
}

Values &ShipWeaponsWindow::maskSound(Values &working, int b, int m)
{
    return weapon(working, b).entries(Weapon::MaskSounds)[size_t(m)];
}
