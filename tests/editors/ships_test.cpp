#include "ships.h"

#include "editorfixture.h"
#include "physics.h"
#include "sharedblocks.h"
#include "shippage.h"
#include "shipweapons.h"
#include "weapons.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>

#include <bit>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

class ShipEditorTest : public EditorTest<ShipEditor>
{
protected:
    ShipWeaponsWindow &window() const { return editor.weaponsWindow(); }
    QLineEdit *windowField(const QString &caption) const { return captioned(window(), caption); }
    QListWidget *windowList(const QString &caption) const
    {
        return captioned<QListWidget>(window(), caption);
    }
    // The buttons' moves, as the user makes them.
    static void press(QAbstractButton &button) { QTest::mouseClick(&button, Qt::LeftButton); }
    QString counters() const
    {
        return window().batteryNavigator().counter().text() + u' ' +
            window().gunpointNavigator().counter().text() + u' ' +
            window().maskNavigator().counter().text();
    }
    void openWeapons(const std::function<void()> &steps)
    {
        EXPECT_TRUE(inModal(
            window(), [&] { click(u"&Weapons"_s); }, steps));
    }

    testsupport::ShipPage awkward = awkwardShip();
};

} // namespace

TEST_F(ShipEditorTest, TheWeaponsWindowEditsTheWeaponsOfTheShipShown)
{
    testsupport::ShipPage other;
    other.name = "Other";
    other.weapons[0].fireSound = "other fire";
    load({ awkward.record(), other.record() });
    EXPECT_FALSE(opensAWindow([&] { editor.editWeapons(); }));
    editor.selectPosition(0);

    // Moves keep what was typed; an outer move starts the inner levels at 1.
    openWeapons([&] {
        EXPECT_EQ(counters(), u"#1/21 1/8 1/8");
        EXPECT_EQ(windowField(u"Fire sound name"_s)->text(), u"fire 1");
        windowField(u"Max ammo"_s)->setText(u"77"_s);
        for (int g = 1; g < 8; ++g)
            press(window().gunpointNavigator().nextButton());
        EXPECT_FALSE(window().gunpointNavigator().nextButton().isEnabled());
        EXPECT_EQ(windowField(u"Weapon name"_s)->text(),
                  QString::fromLatin1(awkward.weapons[0].gunpointNames[7].left(35)));
        EXPECT_EQ(windowField(u"Max ammo"_s)->text(), u"77");
        press(window().batteryNavigator().nextButton());
        EXPECT_EQ(counters(), u"#2/21 1/8 1/8");
        EXPECT_FALSE(window().gunpointNavigator().previousButton().isEnabled());
        EXPECT_TRUE(window().batteryNavigator().previousButton().isEnabled());
        press(window().batteryNavigator().previousButton());
        EXPECT_EQ(windowField(u"Max ammo"_s)->text(), u"77");
    });
    // Closed without Apply: dropped. Another ship shows its own first weapon.
    editor.selectPosition(1);
    openWeapons([&] {
        EXPECT_EQ(counters(), u"#1/21 1/8 1/8");
        EXPECT_EQ(windowField(u"Fire sound name"_s)->text(), u"other fire");
    });
    editor.selectPosition(0);

    // Weapon 5 has battery flags 0xf005: items 0 and 2 checked, the bits without an item kept.
    // A gunpoint's and a firing mask's texts reach their own places in the page.
    openWeapons([&] {
        EXPECT_EQ(windowField(u"Max ammo"_s)->text(), u"-1");
        QListWidget *aiming = windowList(u"Aiming flags"_s);
        EXPECT_EQ(aiming->item(0)->checkState(), Qt::Checked);
        for (int w = 1; w < 5; ++w)
            press(window().batteryNavigator().nextButton());
        QListWidget *flags = windowList(u"Flags"_s);
        for (int item = 0; item < flags->count(); ++item)
            EXPECT_EQ(flags->item(item)->checkState() == Qt::Checked, item == 0 || item == 2);
        press(window().batteryNavigator().nextButton());
        flags->item(11)->setCheckState(Qt::Checked);
        windowField(u"Max ammo"_s)->setText(u"600"_s);
        press(window().gunpointNavigator().nextButton());
        press(window().gunpointNavigator().nextButton());
        windowField(u"Weapon name"_s)->setText(u"Laser"_s);
        press(window().maskNavigator().nextButton());
        windowField(u"Sound"_s)->setText(u"zap"_s);
        windowField(u"Animation end frame"_s)->setText(u"2.5"_s);
        windowField(u"Energy usage"_s)->setText(u"0.25"_s);
        window().apply();
    });
    testsupport::ShipPage expected = awkward;
    ShipWeapon &sixth = expected.weapons[5];
    sixth.battery.flags |= 0x800;
    sixth.maxAmmo = 600;
    sixth.gunpointNames[2] = "Laser";
    sixth.maskSounds[1] = "zap";
    sixth.battery.masks[1].times[4] = 2.5f;
    sixth.battery.energyUsage = 0.25f;
    EXPECT_FALSE(QFileInfo::exists(workspace.workingFilePath(PageKind::Ship))); // only Apply writes
    click(u"&Apply"_s);
    EXPECT_EQ(lastApplied(), expected.record());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(ShipEditorTest, FlagsWithoutAnItemStayAndPhysicsBelongsToThePageShown)
{
    WeaponEditor weapons(workspace, dialogs, shared);
    testsupport::ShipPage ship;
    ship.flags = 3;
    load({ awkwardPage(kind::weapon), ship.record() });
    weapons.reloadList();
    weapons.selectPosition(0);
    editor.selectPosition(0);

    QListWidget *flags = editor.form().checkList(ShipPage::Flags);
    EXPECT_EQ(flags->item(0)->checkState(), Qt::Checked);
    flags->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_TRUE(inModal(
        shared.physics(), [&] { click(u"&Physics"_s); },
        [&] {
            EXPECT_EQ(shared.physics().form().edit(PhysicsBlock::Mass)->text(), u"0");
            shared.physics().form().edit(PhysicsBlock::Mass)->setText(u"3.5"_s);
            shared.physics().apply();
        }));
    click(u"&Apply"_s);
    ship.flags = 2;
    ship.physics[PhysicsBlock::Mass] = std::bit_cast<quint32>(3.5f);
    EXPECT_EQ(lastApplied(), ship.record());

    // The weapon shown before the ship was read writes its own physics.
    weapons.apply();
    EXPECT_EQ(splitRecords(readFile(workspace.workingFilePath(PageKind::Weapon))).last(),
              awkwardPage(kind::weapon));
}
