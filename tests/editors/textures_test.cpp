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
using Procedural = ::TexturePage::Procedural;

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
    EXPECT_EQ(editor.proceduralBlock(), Procedural::defaults());
}

TEST_F(TextureEditorTest, WhatTheControlsCannotShowIsNeitherShownNorKept)
{
    // A corona byte without an item selects none and is written as 255.
    testsupport::TexturePage odd;
    odd.name = "Odd";
    odd.corona = 7;
    const QByteArray damaged = proceduralTexture(8001).record();
    load({ odd.record(), damaged });
    editor.selectPosition(1);
    EXPECT_EQ(editor.form().choice(::TexturePage::Corona)->currentIndex(), -1);
    click(u"&Apply"_s);
    odd.corona = 255;

    // A block of more than 8000 elements is reported, and the controls keep the last page.
    editor.selectPosition(0);
    EXPECT_EQ(dialogs.takeMessages(),
              QStringList({ u"VK Control Panel: damaged page: its procedural block lists 8001 "
                            u"elements; at most 8000 are allowed"_s }));
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
        EXPECT_EQ(window.elementCounter().text(), u"1/3");
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
        block = *::TexturePage::Body::read(reader).procedural;
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
    Procedural block;
    ProceduralWindow window { dialogs };
};

} // namespace

TEST_F(ProceduralWindowTest, NavigationStaysWithinThePaletteAndTheElements)
{
    EXPECT_EQ(window.colourField()->text(), u"0");
    EXPECT_EQ(window.colourCounter().text(), u"1/255");
    EXPECT_EQ(window.elementCounter().text(), u"1/3");
    EXPECT_FALSE(window.previousColourButton().isEnabled());
    EXPECT_TRUE(window.nextColourButton().isEnabled());
    EXPECT_FALSE(window.previousElementButton().isEnabled());
    EXPECT_TRUE(window.nextElementButton().isEnabled());

    for (int step = 0; step < 254; ++step)
        clickOn(window.nextColourButton());
    EXPECT_EQ(window.colourCounter().text(), u"255/255");
    EXPECT_EQ(window.colourField()->text(), QString::number(254 * 257));
    EXPECT_FALSE(window.nextColourButton().isEnabled());
    clickOn(window.nextElementButton());
    clickOn(window.nextElementButton());
    EXPECT_EQ(window.elementCounter().text(), u"3/3");
    EXPECT_EQ(window.elementField(Procedural::Y1)->text(), u"248");
    EXPECT_FALSE(window.nextElementButton().isEnabled());

    Procedural single = Procedural::defaults();
    window.load(single);
    EXPECT_EQ(window.elementCounter().text(), u"1/1");
    EXPECT_FALSE(window.nextElementButton().isEnabled());
}

TEST_F(ProceduralWindowTest, TheCountIsTakenAtOnceAndOnlyApplyKeepsIt)
{
    clickOn(window.nextElementButton());
    enter(window.countField(), u"5"_s, type());
    EXPECT_EQ(window.elementCounter().text(), u"1/5"); // back at element 1
    EXPECT_FALSE(window.previousElementButton().isEnabled());
    for (int step = 0; step < 4; ++step)
        clickOn(window.nextElementButton());
    EXPECT_EQ(window.elementCounter().text(), u"5/5");
    for (int value = 0; value < Procedural::elementValueCount; ++value)
        EXPECT_EQ(window.elementField(value)->text(), u"0");

    window.close(); // nothing handed back
    EXPECT_EQ(block.elements.size(), 3);
    window.load(block);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(window.elementCounter().text(), u"1/3");

    enter(window.countField(), u"5"_s, type());
    window.apply();
    ASSERT_EQ(block.elements.size(), 5);
    EXPECT_EQ(block.elements[4], Procedural::zeroElement());

    // Out of range or not a number: refused on leaving, and by Apply when typed but not left.
    for (const QString &bad : { u"8001"_s, u"0"_s, u"x"_s }) {
        enter(window.countField(), bad, type());
        EXPECT_EQ(QApplication::focusWidget(), window.countField());
        EXPECT_EQ(window.elementCounter().text(), u"1/5");
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
    EXPECT_EQ(block.settings[Procedural::Heat], u"200"); // nothing handed back
    EXPECT_EQ(block.elements.size(), 5);
}

TEST_F(ProceduralWindowTest, FieldsAreTakenWhenLeftAndSettingsOnApply)
{
    enter(window.colourField(), u"70000"_s, type());
    enter(type(), u"x1"_s, heat());
    EXPECT_EQ(dialogs.takeMessages(),
              QStringList({ u"Error: Please enter a correct integer value"_s }));
    EXPECT_EQ(QApplication::focusWidget(), type());
    enter(type(), u"300"_s, heat());
    enter(heat(), u"9"_s, type());

    // Navigation shows the texture's settings again: a setting is kept only by Apply.
    clickOn(window.nextColourButton());
    clickOn(window.previousColourButton());
    EXPECT_EQ(heat()->text(), u"200");
    EXPECT_EQ(window.colourField()->text(), u"4464");
    heat()->setText(u"9"_s);
    window.apply();
    EXPECT_EQ(block.palette[0], 4464);
    EXPECT_EQ(block.elements[0][Procedural::Type], u"300");
    EXPECT_EQ(block.settings[Procedural::Heat], u"9");
    EXPECT_TRUE(dialogs.messages.isEmpty());
}
