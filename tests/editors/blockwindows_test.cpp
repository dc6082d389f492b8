// The windows that edit the blocks of the page shown: each hands its values to that page, in
// their places in the record. Navigation and close have the navigator suite.

#include "editorfixture.h"
#include "genericdialogs.h"
#include "genericpage.h"
#include "generics.h"
#include "kindeditors.h"
#include "lighting.h"
#include "physics.h"
#include "sharedblocks.h"
#include "shippage.h"
#include "ships.h"
#include "shipweapons.h"
#include "soundslot.h"
#include "weaponpage.h"
#include "weapons.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTimer>

#include <bit>

using namespace testsupport;
using namespace Qt::StringLiterals;
namespace Ai = ::GenericPage::AiBlock;

namespace {

QLineEdit *physicsField(SharedDialogs &shared, int item)
{
    return shared.physics().form().edit(item);
}

using WeaponEditorTest = EditorTest<WeaponEditor>;

} // namespace

TEST_F(WeaponEditorTest, PhysicsLightingAndSoundsEditTheWeaponShown)
{
    const QByteArray awkward = awkwardPage(kind::weapon);
    load({ awkward, weaponPage("Plain") });
    const auto nothing = [] {};
    EXPECT_FALSE(inModal(
        shared.physics(), [&] { editor.editPhysics(); }, nothing)); // no page
    EXPECT_FALSE(inModal(
        shared.lighting(), [&] { editor.editLighting(); }, nothing));
    EXPECT_FALSE(inModal(
        editor.soundWindow(), [&] { editor.editSounds(); }, nothing));
    editor.selectPosition(0);

    EXPECT_TRUE(inModal(
        shared.physics(), [&] { click(u"&Physics"_s); },
        [&] {
            EXPECT_EQ(physicsField(shared, PhysicsBlock::Mass)->text(), QString::number(1.235));
            physicsField(shared, PhysicsBlock::Mass)->setText(u"2.5"_s);
            shared.physics().apply();
        }));
    // Handed back to the page shown; Copy carries it, and only the editor's Apply writes it.
    testsupport::WeaponPage expected = awkwardWeapon();
    expected.physics[PhysicsBlock::Mass] = std::bit_cast<quint32>(2.5f);
    editor.copy();
    EXPECT_EQ(readFile(workspace.filePath(WorkspaceFile::clipboard)), expected.record());
    EXPECT_EQ(saved()[0], awkward);
    click(u"&Apply"_s);
    EXPECT_EQ(lastApplied(), expected.record());

    // A slot typed in the sounds window is written.
    inModal(
        editor.soundWindow(), [&] { click(u"&Sounds"_s); },
        [&] {
            editor.soundWindow().form().edit(1)->setText(u"zap"_s);
            editor.soundWindow().apply();
        });
    click(u"&Apply"_s);
    expected.sounds[1] = "zap";
    EXPECT_EQ(lastApplied(), expected.record());

    // Selecting another weapon asks about what was handed back and not applied; Discard drops it.
    inModal(
        shared.lighting(), [&] { click(u"&Lighting"_s); },
        [&] {
            shared.lighting().form().choice(LightingBlock::RenderType)->setCurrentIndex(1);
            shared.lighting().apply();
        });
    EXPECT_TRUE(editor.isChanged());
    dialogs.answers = { UserDialogs::Answer::Discard };
    editor.selectPosition(1);
    EXPECT_EQ(dialogs.takeMessages().size(), 1);
    editor.selectPosition(0);
    click(u"&Apply"_s);
    EXPECT_EQ(lastApplied(), expected.record());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

namespace {

class ShipEditorTest : public EditorTest<ShipEditor>
{
protected:
    ShipWeaponsWindow &window() const { return editor.weaponsWindow(); }
    QLineEdit *windowField(const QString &caption) const { return captioned(window(), caption); }
    static void press(QAbstractButton &button) { QTest::mouseClick(&button, Qt::LeftButton); }
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
    EXPECT_FALSE(inModal(
        window(), [&] { editor.editWeapons(); }, [] {})); // no page
    editor.selectPosition(0);
    openWeapons([&] { windowField(u"Max ammo"_s)->setText(u"77"_s); }); // closed: dropped
    editor.selectPosition(1);
    openWeapons([&] { EXPECT_EQ(windowField(u"Fire sound name"_s)->text(), u"other fire"); });
    editor.selectPosition(0);

    // Weapon 5 has battery flags 0xf005: items 0 and 2 checked, the bits without an item kept.
    // A gunpoint's and a firing mask's texts reach their own places in the page.
    openWeapons([&] {
        EXPECT_EQ(windowField(u"Max ammo"_s)->text(), u"-1");
        for (int w = 1; w < 5; ++w)
            press(window().batteryNavigator().nextButton());
        QListWidget *flags = captioned<QListWidget>(window(), u"Flags"_s);
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
    ShipWeapon &sixth = awkward.weapons[5];
    sixth.battery.flags |= 0x800;
    sixth.maxAmmo = 600;
    sixth.gunpointNames[2] = "Laser";
    sixth.maskSounds[1] = "zap";
    sixth.battery.masks[1].times[4] = 2.5f;
    sixth.battery.energyUsage = 0.25f;
    EXPECT_FALSE(QFileInfo::exists(workspace.workingFilePath(PageKind::Ship))); // only Apply writes
    click(u"&Apply"_s);
    EXPECT_EQ(lastApplied(), awkward.record());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

// The physics window is shared: it hands its values to the editor that opened it.
TEST_F(ShipEditorTest, PhysicsBelongsToThePageOfTheEditorThatOpenedIt)
{
    WeaponEditor weapons(lists, dialogs, shared);
    testsupport::ShipPage ship;
    load({ awkwardPage(kind::weapon), ship.record() });
    weapons.reloadList();
    weapons.selectPosition(0);
    editor.selectPosition(0);
    EXPECT_TRUE(inModal(
        shared.physics(), [&] { click(u"&Physics"_s); },
        [&] {
            EXPECT_EQ(physicsField(shared, PhysicsBlock::Mass)->text(), u"0");
            physicsField(shared, PhysicsBlock::Mass)->setText(u"3.5"_s);
            shared.physics().apply();
        }));
    click(u"&Apply"_s);
    ship.physics[PhysicsBlock::Mass] = std::bit_cast<quint32>(3.5f);
    EXPECT_EQ(lastApplied(), ship.record());
    weapons.apply();
    EXPECT_EQ(lastWritten(PageKind::Weapon), awkwardPage(kind::weapon));
}

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

// The AI window's subtypes follow its movement type; the spew slots, death types, animations
// and batteries lie at their places in the page's runs, the death count follows the entries.
TEST_F(GenericEditorTest, EachWindowHandsItsValuesToTheirPlacesInThePage)
{
    testsupport::GenericPage other;
    other.name = "Other";
    other.animations[0].fromFrame = 42;
    load({ awkward.record(), other.record() });
    editor.selectPosition(0);
    FieldForm &ai = editor.aiWindow().form();
    EXPECT_TRUE(inModal(
        editor.aiWindow(), [&] { click(u"A&I"_s); },
        [&] {
            // Flags 65 and 7 and class 3 show as "Unknown"; type 12 has no item.
            EXPECT_EQ(ai.choice(Ai::AiClass)->currentText(), u"Unknown");
            EXPECT_EQ(ai.choice(Ai::MovementSubtype)->currentText(), u"Jet");
            ai.choice(Ai::MovementType)->setCurrentIndex(0);
            EXPECT_EQ(ai.choice(Ai::MovementSubtype)->currentText(), u"Underwater only");
            ai.choice(Ai::MovementSubtype)->setCurrentText(u"High angle"_s);
            ai.edit(Ai::Fov)->setText(u"1.5e2"_s);
            editor.aiWindow().apply();
        }));
    awkward.ai.movementType = 0;
    awkward.ai.movementSubtype = 2;
    awkward.ai.floats[0] = 150;

    SpewWindow &spew = editor.spewWindow();
    inModal(
        spew, [&] { click(u"Spe&w"_s); },
        [&] {
            EXPECT_EQ(captioned(spew, u"Spew object"_s)->text(), u"Shield orb");
            spew.navigator().next();
            captioned(spew, u"Spew number"_s)->setText(u"7"_s);
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
            EXPECT_TRUE(deaths.navigator().next());
            EXPECT_TRUE(deaths.navigator().next());
            EXPECT_EQ(minimum->text(), u"0");
            // 40 and 60 add up to 100: nothing said until the third type's share is typed.
            EXPECT_TRUE(deaths.sumNote().isHidden());
            captioned(deaths, u"Death probability"_s)->setText(u"10"_s);
            EXPECT_EQ(deaths.sumNote().text(), u"The death probabilities add up to 110, not 100.");
            EXPECT_FALSE(deaths.sumNote().isHidden());
            // The same count typed again shows death type 1; the third keeps its 10.
            count->setFocus();
            count->selectAll();
            QTest::keyClicks(count, u"3"_s);
            minimum->setFocus();
            EXPECT_EQ(deaths.navigator().counter().text(), u"#1/3");
            EXPECT_EQ(deaths.sumNote().text(), u"The death probabilities add up to 110, not 100.");
            deaths.apply();
        });
    awkward.deaths.append({ 0, 0, 0, 10 });

    ClassesWindow &classes = editor.classesWindow();
    EXPECT_TRUE(inModal(
        classes, [&] { click(u"Class&es"_s); },
        [&] {
            for (int c = 1; c < 4; ++c)
                classes.classNavigator().next();
            for (int a = 1; a < 5; ++a)
                classes.animationNavigator().next();
            captioned(classes, u"From frame"_s)->setText(u"12"_s);
            captioned(classes, u"Sound name"_s)->setText(u"roar"_s);
            classes.apply(); // without moving
        }));
    awkward.animations[3 * 24 + 4].fromFrame = 12;
    awkward.animationSounds[3 * 24 + 4] = "roar";

    GenericBatteryWindow &batteries = editor.batteriesWindow();
    inModal(
        batteries, [&] { click(u"&Batteries"_s); },
        [&] {
            for (int b = 1; b < 3; ++b)
                batteries.batteryNavigator().next();
            for (int g = 1; g < 4; ++g)
                batteries.gunpointNavigator().next();
            for (int m = 1; m < 6; ++m)
                batteries.maskNavigator().next();
            captioned(batteries, u"Weapon name"_s)->setText(u"Laser"_s);
            captioned(batteries, u"Sound"_s)->setText(u"zap"_s);
            captioned(batteries, u"Energy usage"_s)->setText(u"0.5"_s);
            captioned<QListWidget>(batteries, u"Flags"_s)->item(0)->setCheckState(Qt::Checked);
            batteries.apply();
        });
    testsupport::Battery &third = awkward.batteries[2];
    third.energyUsage = 0.5f;
    third.flags |= 1; // bit 14, which has no item, stays
    awkward.gunpointNames[2 * 8 + 3] = "Laser";
    awkward.maskSounds[2 * 8 + 5] = "zap";

    // The seven sound names, the physics and the lighting; what is not typed stays exact.
    ObjectSoundsWindow &sounds = editor.soundsWindow();
    inModal(
        sounds, [&] { click(u"&Sounds"_s); },
        [&] {
            EXPECT_EQ(captioned(sounds, u"AI Sound name 2"_s)->text(), u"see");
            captioned(sounds, u"AI Sound name 3"_s)->setText(u"growl"_s);
            sounds.apply();
        });
    awkward.sounds[4] = "growl";
    inModal(
        shared.physics(), [&] { click(u"&Physics"_s); },
        [&] {
            physicsField(shared, PhysicsBlock::Drag)->setText(u"2.5"_s);
            shared.physics().apply();
        });
    awkward.physics[PhysicsBlock::Drag] = std::bit_cast<quint32>(2.5f);
    inModal(
        shared.lighting(), [&] { click(u"&Lighting"_s); },
        [&] {
            shared.lighting().form().edit(LightingBlock::EndBlue)->setText(u"-3"_s);
            shared.lighting().apply();
        });
    awkward.lighting[LightingBlock::EndBlue] = std::bit_cast<quint32>(-3.0f);
    click(u"&Apply"_s);
    EXPECT_EQ(lastApplied(), awkward.record());

    // The next opening, on another page, starts at its class 1, animation 1.
    editor.selectPosition(1);
    inModal(
        classes, [&] { click(u"Class&es"_s); },
        [&] {
            EXPECT_EQ(classes.classNavigator().counter().text() + u' ' +
                          classes.animationNavigator().counter().text(),
                      u"#1/5 Animation 1/24");
            EXPECT_EQ(captioned(classes, u"From frame"_s)->text(), u"42");
        });
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

// Only a powerup has ammo: for any other type the field is empty and disabled, the page
// unchanged and its record without ammo; turned into a powerup, the empty field writes 0.
TEST_F(GenericEditorTest, AmmoIsAPowerupsOnly)
{
    testsupport::GenericPage robot;
    robot.name = "Robot";
    load({ awkward.record(), robot.record() });
    QLineEdit *ammo = field(GenericPage::Ammo);
    editor.selectPosition(1);
    EXPECT_TRUE(ammo->text().isEmpty() && !ammo->isEnabled() && !editor.isChanged());
    click(u"&Apply"_s);
    EXPECT_EQ(lastApplied(), robot.record());
    editor.selectPosition(0);
    EXPECT_TRUE(ammo->text() == u"40000" && ammo->isEnabled());
    for (const auto &[type, code] : { std::pair(u"Building"_s, 16), std::pair(u"Powerup"_s, 7) }) {
        editor.form().choice(GenericPage::ObjectType)->setCurrentText(type);
        EXPECT_TRUE(ammo->text().isEmpty() && ammo->isEnabled() == (code == 7));
        click(u"&Apply"_s);
        awkward.objectType = quint8(code);
        awkward.ammo = 0;
        EXPECT_EQ(lastApplied(), awkward.record());
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

namespace {

using EveryWindow = KindEditorTest;

// The lines flags.txt gives under each caption of the window with this title.
QHash<QString, QStringList> flagLists(const QString &title)
{
    QFile file(QStringLiteral(VK_FLAGS_FILE));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << VK_FLAGS_FILE;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    QHash<QString, QStringList> lists;
    QString window, caption;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i + 1 < lines.size() && lines[i + 1].startsWith(u"---")) { // a window's heading
            window = lines[i++].section(u" ("_s, 0, 0);
            caption.clear();
        } else if (lines[i].isEmpty()) {
            caption.clear();
        } else if (window == title) {
            if (caption.isEmpty())
                caption = lines[i];
            else
                lists[caption].append(lines[i].simplified());
        }
    }
    return lists;
}

// With its frame the window fits a 1024 x 768 screen, and flags.txt, beside the program, gives
// each of its check lists under its title, every item at its bit.
void checkSizeAndFlags(const QDialog &window)
{
    const std::string title = window.windowTitle().toStdString();
    EXPECT_TRUE(window.width() <= 1010 && window.height() <= 730) << title;
    const QHash<QString, QStringList> documented = flagLists(window.windowTitle());
    for (const QListWidget *list : window.findChildren<QListWidget *>()) {
        if (list->window() != &window)
            continue; // a settings window's
        const QStringList lines = documented.value(list->accessibleName());
        if (list->count() == 1 && list->item(0)->text() == u"Unknown")
            EXPECT_TRUE(lines.value(0).startsWith(u"Not known")) << title;
        else
            for (int bit = 0; bit < list->count(); ++bit)
                EXPECT_TRUE(lines.value(bit).startsWith(u"bit %1 "_s.arg(bit)) &&
                            lines.value(bit).endsWith(u' ' + list->item(bit)->text()))
                    << title << ": " << lines.value(bit).toStdString();
    }
}

// A settings window opens in its first field, and Tab reads it: down a column, then up to the
// top of the next one to the right, Apply and Close last.
void checkTabOrder(const QDialog &window)
{
    QList<QWidget *> stops;
    do {
        stops.append(QApplication::focusWidget());
        QTest::keyClick(stops.constLast(), Qt::Key_Tab);
    } while (QApplication::focusWidget() != stops.constFirst() && stops.size() < 400);
    const std::string title = window.windowTitle().toStdString();
    EXPECT_FALSE(stops[0]->inherits("QAbstractButton") || stops[0]->inherits("QPlainTextEdit"))
        << title << ": not a field first";
    stops.removeIf([](QWidget *stop) { return stop->inherits("QPlainTextEdit"); }); // help
    const auto *apply = qobject_cast<QAbstractButton *>(stops.value(stops.size() - 2));
    EXPECT_TRUE(apply && apply->text() == u"&Apply" && stops.constLast()->inherits("QPushButton"))
        << title;
    for (qsizetype i = 1; i < stops.size(); ++i) {
        const QRect from(stops[i - 1]->mapTo(&window, QPoint()), stops[i - 1]->size());
        const QRect to(stops[i]->mapTo(&window, QPoint()), stops[i]->size());
        const bool sameForm = qobject_cast<FieldForm *>(stops[i]->parentWidget()) &&
            stops[i]->parentWidget() == stops[i - 1]->parentWidget();
        EXPECT_TRUE((to.top() >= from.top() || to.left() > from.right()) &&
                    (!sameForm || to.left() >= from.left()))
            << title << ": back up or row by row at stop " << i;
    }
}

} // namespace

// The kind's editor and every settings window its buttons open, on the kind's awkward page.
TEST_P(EveryWindow, FitsASmallScreenReadsInOrderAndHasItsFlagsInFlagsTxt)
{
    load({ awkwardPage(quint8(kind())) });
    editor->selectPosition(0);
    checkSizeAndFlags(*editor);
    const QStringList workflow = { u"Add"_s, u"Delete"_s, u"&Apply"_s, u"&Close"_s, u"&Table"_s };
    for (QPushButton *button : editor->findChildren<QPushButton *>()) {
        if (button->window() != editor.get() || workflow.contains(button->text()) ||
            button == &editor->usedByButton())
            continue;
        bool opened = false;
        QTimer::singleShot(0, [&] {
            auto *window = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            // Active, as the focus says; the platform may say so sooner.
            opened = window && QTest::qWaitFor([&] {
                         return QApplication::focusWidget() &&
                             QApplication::focusWidget()->window() == window;
                     });
            if (opened) {
                checkSizeAndFlags(*window);
                checkTabOrder(*window);
            }
            if (window)
                window->close();
        });
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_TRUE(opened) << button->text().toStdString();
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(EveryKind, EveryWindow,
                         testing::ValuesIn(kindEditors().begin(), kindEditors().end()), kindName);
