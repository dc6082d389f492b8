#include "weapons.h"

#include "editorfixture.h"
#include "lighting.h"
#include "physics.h"
#include "sharedblocks.h"
#include "soundslot.h"
#include "weaponpage.h"

#include <QComboBox>
#include <QListWidget>

#include <bit>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

class WeaponEditorTest : public EditorTest<WeaponEditor>
{
protected:
    QLineEdit *physicsField(int item) const { return shared.physics().form().edit(item); }

    const QByteArray awkward = awkwardPage(kind::weapon);
};

} // namespace

TEST_F(WeaponEditorTest, TheSettingsWindowsEditTheBlocksOfTheWeaponShown)
{
    testsupport::WeaponPage plain;
    plain.name = "Plain";
    load({ awkward, plain.record() });
    const QString mass = QString::number(1.235);

    // Nothing opens without a selected page.
    EXPECT_FALSE(opensAWindow([&] { editor.editPhysics(); }));
    EXPECT_FALSE(opensAWindow([&] { editor.editLighting(); }));
    EXPECT_FALSE(opensAWindow([&] { editor.editSounds(); }));
    editor.selectPosition(0);

    // Two openings show the weapon's values: what was typed and closed is dropped.
    EXPECT_TRUE(inModal(
        shared.physics(), [&] { click(u"&Physics"_s); },
        [&] {
            EXPECT_EQ(physicsField(PhysicsBlock::Mass)->text(), mass);
            physicsField(PhysicsBlock::Mass)->setText(u"9"_s);
        }));
    inModal(
        shared.physics(), [&] { click(u"&Physics"_s); },
        [&] {
            EXPECT_EQ(physicsField(PhysicsBlock::Mass)->text(), mass);
            physicsField(PhysicsBlock::Mass)->setText(u"2.5"_s);
            shared.physics().apply();
        });
    // Handed back to the page shown; Copy carries it, and only the editor's Apply writes it.
    testsupport::WeaponPage expected = awkwardWeapon();
    expected.physics[PhysicsBlock::Mass] = std::bit_cast<quint32>(2.5f);
    editor.copy();
    EXPECT_EQ(readFile(workspace.filePath(WorkspaceFile::clipboard)), expected.record());
    EXPECT_EQ(saved()[0], awkward);
    click(u"&Apply"_s);
    EXPECT_EQ(lastApplied(), expected.record());

    // A render type without an item shows none and stays, and so do lighting flags without an
    // item, through the window's Apply; a slot typed in the sounds window is written.
    inModal(
        shared.lighting(), [&] { click(u"&Lighting"_s); },
        [&] {
            EXPECT_EQ(shared.lighting().form().choice(LightingBlock::RenderType)->currentIndex(),
                      -1);
            EXPECT_EQ(
                shared.lighting().form().checkList(LightingBlock::Flags)->item(6)->checkState(),
                Qt::Checked);
            shared.lighting().apply();
        });
    inModal(
        editor.soundWindow(), [&] { click(u"&Sounds"_s); },
        [&] {
            editor.soundWindow().form().edit(1)->setText(u"zap"_s);
            editor.soundWindow().apply();
        });
    click(u"&Apply"_s);
    expected.sounds[1] = "zap";
    EXPECT_EQ(lastApplied(), expected.record());

    // Selecting another weapon drops what was handed back and not applied.
    inModal(
        shared.lighting(), [&] { click(u"&Lighting"_s); },
        [&] {
            shared.lighting().form().choice(LightingBlock::RenderType)->setCurrentIndex(1);
            shared.lighting().apply();
        });
    editor.selectPosition(1);
    editor.selectPosition(0);
    click(u"&Apply"_s);
    EXPECT_EQ(lastApplied(), expected.record());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}
