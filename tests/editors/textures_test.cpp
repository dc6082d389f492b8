#include "textures.h"

#include "editorfixture.h"
#include "procedural.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QTimer>

using namespace testsupport;
using namespace Qt::StringLiterals;
namespace Procedural = ::TexturePage::ProceduralBlock;

namespace {

class TextureEditorTest : public EditorTest<TextureEditor>
{
protected:
    void tick(int bit, bool on)
    {
        editor.form()
            .checkList(::TexturePage::Flags)
            ->item(bit)
            ->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    // The record a page's Apply appended last.
    QByteArray lastApplied() const { return splitRecords(workingFile()).last(); }

    const testsupport::TexturePage fire = proceduralTexture(3);
};

constexpr int kProcedural = 24;

} // namespace

TEST_F(TextureEditorTest, SelectThenApplyReproducesAProceduralPage)
{
    load({ texture("Rock"), fire.record() });
    editor.selectPosition(0); // the list is in name order
    EXPECT_TRUE(editor.isProcedural());
    EXPECT_EQ(editor.form().choice(::TexturePage::Corona)->currentText(), u"C");
    EXPECT_EQ(editor.form().checkList(::TexturePage::Flags)->item(31)->checkState(), Qt::Checked);
    click(u"&Apply"_s);
    EXPECT_EQ(lastApplied(), fire.record()); // the block, bit 24 and the sign bit as stored
    EXPECT_EQ(saved(), QList<QByteArray>({ fire.record(), texture("Rock") }));

    // Unticked, the block goes; ticked again, the page's own block comes back, not defaults.
    tick(kProcedural, false);
    click(u"&Apply"_s);
    testsupport::TexturePage plain = fire;
    plain.procedural.reset();
    EXPECT_EQ(lastApplied(), plain.record());
    tick(kProcedural, true);
    click(u"&Apply"_s);
    EXPECT_EQ(lastApplied(), fire.record());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(TextureEditorTest, ANewPageIsGivenDefaultsWhenFirstMadeProcedural)
{
    click(u"Add"_s);
    EXPECT_EQ(lastApplied(), testsupport::TexturePage().record()); // length 66, no block
    EXPECT_FALSE(editor.isProcedural());
    tick(kProcedural, true);
    click(u"&Apply"_s);
    testsupport::TexturePage expected;
    expected.procedural = ProceduralBlock(); // 255 zero colours, settings 0, one zero element
    EXPECT_EQ(lastApplied(), expected.record());

    // A page that was procedural leaves no block behind for the next page made procedural.
    load({ fire.record(), texture("Wall") });
    editor.selectPosition(0);
    editor.selectPosition(1);
    tick(kProcedural, true);
    ASSERT_TRUE(editor.proceduralBlock());
    EXPECT_EQ(*editor.proceduralBlock(), Procedural::defaults());
}

TEST_F(TextureEditorTest, WhatTheControlsCannotShowIsNotShownButKept)
{
    // A corona byte without an item selects none and is written back as it was.
    testsupport::TexturePage odd;
    odd.name = "Odd";
    odd.corona = 7;
    const QByteArray damaged = proceduralTexture(8001).record();
    load({ odd.record(), damaged });
    editor.selectPosition(1);
    EXPECT_EQ(editor.form().choice(::TexturePage::Corona)->currentIndex(), -1);
    click(u"&Apply"_s);
    EXPECT_EQ(lastApplied(), odd.record());

    // A block of more than 8000 elements is reported, and the controls keep the last page.
    editor.selectPosition(0);
    EXPECT_EQ(
        dialogs.takeMessages(),
        QStringList({ u"VK Control Panel: The page \"Fire plasma\" cannot be shown: damaged page: "
                      u"its procedural block lists 8001 elements; at most 8000 are "
                      u"allowed"_s }));
    EXPECT_EQ(field(::TexturePage::Name)->text(), u"Odd");
    EXPECT_FALSE(editor.isProcedural());
    EXPECT_EQ(saved(), QList<QByteArray>({ damaged, odd.record() }));
}

TEST_F(TextureEditorTest, ProceduralButtonOpensTheSettingsOfAProceduralPageOnly)
{
    load({ fire.record(), texture("Wall") });
    click(u"&Procedural"_s); // nothing selected
    editor.selectPosition(1);
    click(u"&Procedural"_s);
    EXPECT_EQ(dialogs.takeMessages(), QStringList({ u"Error: This texture is not procedural"_s }));

    // Opened modally on the page's block; values typed there reach the page through both Applies.
    editor.selectPosition(0);
    ProceduralWindow &window = editor.proceduralWindow();
    bool wasModal = false;
    QTimer::singleShot(0, &window, [&] {
        wasModal = QApplication::activeModalWidget() == &window;
        // A child dialog counts as active with its parent; focus needs the window itself active.
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.isActiveWindow(); }));
        EXPECT_EQ(window.elementNavigator().counter().text(), u"1/3");
        window.elementField(Procedural::Type)->setFocus();
        window.elementField(Procedural::Type)->setText(u"300"_s);
        window.colourField()->setFocus(); // leaves the type field: taken
        window.apply();
        window.close(); // the title bar's close box
    });
    click(u"&Procedural"_s);
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(window.isVisible());
    click(u"&Apply"_s);
    testsupport::TexturePage expected = fire;
    expected.procedural->elements[0][0] = 44; // the low byte of 300
    EXPECT_EQ(lastApplied(), expected.record());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

namespace {

class ProceduralWindowTest : public testing::Test
{
protected:
    ProceduralWindowTest()
    {
        RecordReader reader(proceduralTexture(3).record());
        block = PageBody::read(pageFormat(PageKind::Texture), reader)
                    .values.entries(::TexturePage::Procedural)[0];
        window.load(block);
        window.show();
        // A child dialog counts as active with its parent; focus needs the window itself active.
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.isActiveWindow(); }));
    }

    // Types text into a field and leaves it for another.
    void enter(QLineEdit *field, const QString &text, QLineEdit *next)
    {
        field->setFocus();
        field->setText(text);
        next->setFocus();
    }
    void clickOn(QAbstractButton &button) { QTest::mouseClick(&button, Qt::LeftButton); }
    QLineEdit *type() const { return window.elementField(Procedural::Type); }
    QLineEdit *heat() const { return window.settingField(Procedural::Heat); }

    ScriptedDialogs dialogs;
    Values block;
    ProceduralWindow window { dialogs };
};

} // namespace

// The navigators' own rules have their suite; here, what the window binds them to.
TEST_F(ProceduralWindowTest, ThePaletteHas255ColoursAndTheElementsTheirCount)
{
    EXPECT_EQ(window.elementNavigator().counter().text(), u"1/3");
    for (int step = 0; step < 254; ++step)
        clickOn(window.colourNavigator().nextButton());
    EXPECT_EQ(window.colourNavigator().counter().text(), u"255/255");
    EXPECT_EQ(window.colourField()->text(), QString::number(254 * 257));
    clickOn(window.elementNavigator().nextButton());
    clickOn(window.elementNavigator().nextButton());
    EXPECT_EQ(window.elementField(Procedural::Y1)->text(), u"248");

    Values single = Procedural::defaults();
    window.load(single); // at 1 again
    EXPECT_EQ(window.colourNavigator().counter().text(), u"1/255");
    EXPECT_EQ(window.elementNavigator().counter().text(), u"1/1");
}

TEST_F(ProceduralWindowTest, TheCountIsTakenAtOnceAndOnlyApplyKeepsIt)
{
    clickOn(window.elementNavigator().nextButton());
    enter(window.countField(), u"5"_s, type());
    EXPECT_EQ(window.elementNavigator().counter().text(), u"1/5"); // back at element 1
    // Typed and not left when Next is pressed: taken the same, with no step after it.
    clickOn(window.elementNavigator().nextButton());
    window.countField()->setFocus();
    window.countField()->setText(u"4"_s);
    clickOn(window.elementNavigator().nextButton());
    EXPECT_EQ(window.elementNavigator().counter().text(), u"1/4");
    enter(window.countField(), u"5"_s, type());
    EXPECT_FALSE(window.elementNavigator().previousButton().isEnabled());
    for (int step = 0; step < 4; ++step)
        clickOn(window.elementNavigator().nextButton());
    EXPECT_EQ(window.elementNavigator().counter().text(), u"5/5");
    for (int value = 0; value < Procedural::ElementValueCount; ++value)
        EXPECT_EQ(window.elementField(value)->text(), u"0");

    window.close(); // nothing handed back
    EXPECT_EQ(block.entries(Procedural::Elements).size(), 3u);
    window.load(block);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(window.elementNavigator().counter().text(), u"1/3");

    enter(window.countField(), u"5"_s, type());
    window.apply();
    ASSERT_EQ(block.entries(Procedural::Elements).size(), 5u);
    EXPECT_EQ(block.entries(Procedural::Elements)[4], blankValues(Procedural::elementLayout));

    // Out of range or not a number: refused on leaving, and by Apply when typed but not left.
    for (const QString &bad : { u"8001"_s, u"0"_s, u"x"_s }) {
        enter(window.countField(), bad, type());
        EXPECT_EQ(QApplication::focusWidget(), window.countField());
        EXPECT_EQ(window.elementNavigator().counter().text(), u"1/5");
    }
    EXPECT_EQ(dialogs.takeMessages(),
              QStringList({ u"Error: This value must be between 1 and 8000"_s,
                            u"Error: This value must be between 1 and 8000"_s,
                            u"Error: Please enter a correct integer value"_s }));
    heat()->setText(u"9"_s);
    window.countField()->setText(u"9000"_s);
    window.apply();
    EXPECT_EQ(dialogs.takeMessages(),
              QStringList({ u"Error: This value must be between 1 and 8000"_s }));
    EXPECT_EQ(numberText(block.field(Procedural::Heat)), u"200"); // nothing handed back
    EXPECT_EQ(block.entries(Procedural::Elements).size(), 5u);
}

TEST_F(ProceduralWindowTest, MovingKeepsWhatWasTypedAndApplyHandsItBack)
{
    enter(window.colourField(), u"70000"_s, type());
    enter(type(), u"x1"_s, heat());
    EXPECT_EQ(dialogs.takeMessages(),
              QStringList({ u"Error: Please enter a correct integer value"_s }));
    EXPECT_EQ(QApplication::focusWidget(), type());
    enter(type(), u"300"_s, heat());
    enter(heat(), u"9"_s, type());

    // Typed and not left, since the buttons take no focus: a move keeps it all the same.
    window.elementField(Procedural::Y1)->setFocus();
    window.elementField(Procedural::Y1)->setText(u"12"_s);
    clickOn(window.elementNavigator().nextButton());
    EXPECT_EQ(window.elementField(Procedural::Y1)->text(), u"249");
    clickOn(window.elementNavigator().previousButton());
    EXPECT_EQ(window.elementField(Procedural::Y1)->text(), u"12");
    clickOn(window.colourNavigator().nextButton());
    clickOn(window.colourNavigator().previousButton());
    EXPECT_EQ(heat()->text(), u"9");
    EXPECT_EQ(window.colourField()->text(), u"4464");
    EXPECT_EQ(numberText(block.field(Procedural::Heat)), u"200"); // only Apply hands back
    window.apply();
    EXPECT_EQ(numberText(block.entries(Procedural::Elements)[0].field(Procedural::Y1)), u"12");
    EXPECT_EQ(numberText(block.entries(Procedural::Palette)[0].field(0)), u"4464");
    EXPECT_EQ(numberText(block.entries(Procedural::Elements)[0].field(Procedural::Type)), u"300");
    EXPECT_EQ(numberText(block.field(Procedural::Heat)), u"9");
    EXPECT_TRUE(dialogs.messages.isEmpty());
}
