#include "generics.h"

#include "editorfixture.h"
#include "genericdialogs.h"
#include "genericpage.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>

using namespace testsupport;
using namespace Qt::StringLiterals;
namespace Ai = ::GenericPage::AiBlock;

namespace {

class GenericEditorTest : public EditorTest<GenericEditor>
{
protected:
    // Types text into a field of the active window and leaves it, as the user would.
    static void enter(QLineEdit *field, const QString &text, QWidget *next)
    {
        field->setFocus();
        field->setText(text);
        next->setFocus();
    }

    testsupport::GenericPage awkward = awkwardGeneric();
};

} // namespace

TEST_F(GenericEditorTest, TheObjectTypeDecidesTheAmmoAndTheNameTheLength)
{
    load({ genericPage("Crate", 11) });
    click(u"Add"_s);
    click(u"&Apply"_s);
    EXPECT_EQ(lastApplied(), testsupport::GenericPage().record()); // length 6204

    setField(::GenericPage::Name, u"Probe"_s);
    click(u"&Apply"_s);
    EXPECT_EQ(lastApplied().mid(1, 4), QByteArray::fromHex("36180000")); // 6198
    QComboBox *type = editor.form().choice(::GenericPage::ObjectType);
    type->setCurrentText(u"Powerup"_s);
    click(u"&Apply"_s);
    EXPECT_EQ(lastApplied(), genericPage("Probe", 7));
    type->setCurrentText(u"Robot"_s);
    click(u"&Apply"_s);
    EXPECT_EQ(lastApplied(), genericPage("Probe"));
}

TEST_F(GenericEditorTest, TheAiWindowFollowsTheMovementTypeAndKeepsWhatItCannotShow)
{
    load({ awkward.record() });
    editor.selectPosition(0);
    AiWindow &window = editor.aiWindow();
    FieldForm &form = window.form();
    EXPECT_TRUE(inModal(
        window, [&] { click(u"A&I"_s); },
        [&] {
            // Flags 65 and 7 and class 3 show as "Unknown"; type 12 has no item.
            EXPECT_EQ(form.checkList(Ai::AiFlags)->item(0)->checkState(), Qt::Checked);
            EXPECT_EQ(form.choice(Ai::AiClass)->currentText(), u"Unknown");
            EXPECT_EQ(form.choice(Ai::AiType)->currentIndex(), -1);
            EXPECT_EQ(form.choice(Ai::MovementSubtype)->currentText(), u"Jet");
            form.choice(Ai::MovementType)->setCurrentIndex(0);
            EXPECT_EQ(form.choice(Ai::MovementSubtype)->currentText(), u"Underwater only");
            form.choice(Ai::MovementSubtype)->setCurrentText(u"High angle"_s);
            form.edit(Ai::Fov)->setText(u"1.5e2"_s);
            window.apply();
        }));
    click(u"&Apply"_s);
    awkward.ai.movementType = 0;
    awkward.ai.movementSubtype = 2;
    awkward.ai.floats[0] = 150;
    EXPECT_EQ(lastApplied(), awkward.record());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(GenericEditorTest, SpewSlotsAndDeathTypesKeepWhatWasTypedAndTheCountStaysInItsSlots)
{
    load({ awkward.record() });
    editor.selectPosition(0);
    SpewWindow &spew = editor.spewWindow();
    inModal(
        spew, [&] { click(u"Spe&w"_s); },
        [&] {
            EXPECT_EQ(captioned(spew, u"Spew object"_s)->text(), u"Shield orb");
            spew.navigator().next();
            captioned(spew, u"Spew number"_s)->setText(u"7"_s);
            spew.navigator().previous();
            spew.navigator().next();
            EXPECT_EQ(captioned(spew, u"Spew number"_s)->text(), u"7");
            spew.apply();
        });
    awkward.spew[1].number = 7; // the flags 3 and 0xfe stay

    DeathTypesWindow &deaths = editor.deathsWindow();
    QLineEdit *count = deaths.countField();
    inModal(
        deaths, [&] { click(u"&Death"_s); },
        [&] {
            EXPECT_EQ(deaths.navigator().counter().text(), u"#1/2");
            QLineEdit *minimum = captioned(deaths, u"Death delay min."_s);
            enter(count, u"5"_s, minimum);
            EXPECT_EQ(dialogs.takeMessages(),
                      QStringList({ u"Error: Number of death types must be between 1 and 4"_s }));
            enter(count, u"3"_s, minimum);
            EXPECT_EQ(deaths.navigator().counter().text(), u"#1/3");
            EXPECT_TRUE(deaths.navigator().next());
            EXPECT_TRUE(deaths.navigator().next());
            EXPECT_FALSE(deaths.navigator().nextButton().isEnabled());
            EXPECT_EQ(minimum->text(), u"0");
            captioned(deaths, u"Death probability"_s)->setText(u"10"_s);
            deaths.apply();
        });
    // A count changed and closed without Apply is dropped.
    inModal(
        deaths, [&] { click(u"&Death"_s); },
        [&] { enter(count, u"1"_s, captioned(deaths, u"Death delay min."_s)); });
    click(u"&Apply"_s);
    awkward.deaths.append({ 0, 0, 0, 10 });
    EXPECT_EQ(lastApplied(), awkward.record());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(GenericEditorTest, MoreDeathTypesThanSlotsIsADamagedPageNamedInTheMessage)
{
    testsupport::GenericPage five;
    five.name = "Hydra";
    five.deaths.resize(5);
    load({ genericPage("Crate", 11), five.record() });
    editor.selectPosition(0);
    editor.selectPosition(1);
    EXPECT_EQ(dialogs.takeMessages(),
              QStringList({ u"VK Control Panel: The page \"Hydra\" cannot be shown: damaged page: "
                            "its death block lists 5 death types; at most 4 are allowed"_s }));
    EXPECT_EQ(field(::GenericPage::Name)->text(), u"Crate");
    click(u"&Apply"_s);
    EXPECT_EQ(saved(), QList<QByteArray>({ genericPage("Crate", 11), five.record() }));
}

TEST_F(GenericEditorTest, AnAnimationsSoundLiesInTheRunOfSoundsAtItsClassAndPlace)
{
    testsupport::GenericPage other;
    other.name = "Other";
    other.animations[0].fromFrame = 42;
    load({ awkward.record(), other.record() });
    ClassesWindow &window = editor.classesWindow();
    const auto counters = [&] {
        return window.classNavigator().counter().text() + u' ' +
            window.animationNavigator().counter().text();
    };
    editor.selectPosition(0);
    EXPECT_TRUE(inModal(
        window, [&] { click(u"Class&es"_s); },
        [&] {
            window.classNavigator().next();
            for (int a = 1; a < 24; ++a)
                window.animationNavigator().next();
            EXPECT_EQ(counters(), u"#2/5 Animation 24/24");
            window.classNavigator().next();
            EXPECT_EQ(counters(), u"#3/5 Animation 1/24");
            EXPECT_FALSE(window.animationNavigator().previousButton().isEnabled());
            window.classNavigator().next();
            for (int a = 1; a < 5; ++a)
                window.animationNavigator().next();
            captioned(window, u"From frame"_s)->setText(u"12"_s);
            captioned(window, u"Sound name"_s)->setText(u"roar"_s);
            window.apply(); // without moving
        }));
    click(u"&Apply"_s);
    awkward.animations[3 * 24 + 4].fromFrame = 12;
    awkward.animationSounds[3 * 24 + 4] = "roar";
    EXPECT_EQ(lastApplied(), awkward.record());

    // The next opening, on another page, starts at its class 1, animation 1.
    editor.selectPosition(1);
    inModal(
        window, [&] { click(u"Class&es"_s); },
        [&] {
            EXPECT_EQ(counters(), u"#1/5 Animation 1/24");
            EXPECT_EQ(captioned(window, u"From frame"_s)->text(), u"42");
        });
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(GenericEditorTest, ABatterysTextsLieInTheRunsOfTextsAndCloseDropsItsEdits)
{
    load({ awkward.record() });
    editor.selectPosition(0);
    GenericBatteryWindow &window = editor.batteriesWindow();
    inModal(
        window, [&] { click(u"&Batteries"_s); },
        [&] {
            for (int b = 1; b < 3; ++b)
                window.batteryNavigator().next();
            for (int g = 1; g < 4; ++g)
                window.gunpointNavigator().next();
            for (int m = 1; m < 6; ++m)
                window.maskNavigator().next();
            captioned(window, u"Weapon name"_s)->setText(u"Laser"_s);
            captioned(window, u"Sound"_s)->setText(u"zap"_s);
            captioned(window, u"Energy usage"_s)->setText(u"0.5"_s);
            captioned<QListWidget>(window, u"Flags"_s)->item(0)->setCheckState(Qt::Checked);
            window.apply();
        });
    // Moved through and edited, then closed: nothing reaches the page.
    inModal(
        window, [&] { click(u"&Batteries"_s); },
        [&] {
            EXPECT_EQ(window.batteryNavigator().counter().text(), u"#1/21");
            for (int b = 1; b < 21; ++b) {
                captioned(window, u"Ammo usage"_s)->setText(u"9"_s);
                window.batteryNavigator().next();
            }
        });
    click(u"&Apply"_s);
    testsupport::Battery &third = awkward.batteries[2];
    third.energyUsage = 0.5f;
    third.flags |= 1; // bit 14, which has no item, stays
    awkward.gunpointNames[2 * 8 + 3] = "Laser";
    awkward.maskSounds[2 * 8 + 5] = "zap";
    EXPECT_EQ(lastApplied(), awkward.record());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}
