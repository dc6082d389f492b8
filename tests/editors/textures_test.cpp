#include "textures.h"

#include "editorfixture.h"
#include "navigator.h"
#include "procedural.h"

#include <QApplication>
#include <QListWidget>

using namespace testsupport;
using namespace Qt::StringLiterals;
namespace Procedural = ::TexturePage::ProceduralBlock;

namespace {

class TextureEditorTest : public EditorTest<TextureEditor>
{
protected:
    void tickProcedural(bool on)
    {
        editor.form()
            .checkList(::TexturePage::Flags)
            ->item(24)
            ->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }

    const testsupport::TexturePage fire = proceduralTexture(3);
};

} // namespace

TEST_F(TextureEditorTest, TheFlagDropsTheBlockAndBringsBackThePagesOwnOrTheDefaults)
{
    load({ fire.record() });
    editor.selectPosition(0);
    tickProcedural(false);
    click(u"&Apply"_s);
    testsupport::TexturePage plain = fire;
    plain.procedural.reset();
    EXPECT_EQ(lastApplied(), plain.record());
    tickProcedural(true);
    click(u"&Apply"_s);
    EXPECT_EQ(lastApplied(), fire.record());

    // A new page after a procedural one: the default block, nothing of the page before.
    click(u"Add"_s);
    EXPECT_FALSE(editor.isProcedural());
    tickProcedural(true);
    ASSERT_TRUE(editor.proceduralBlock());
    EXPECT_EQ(*editor.proceduralBlock(), Procedural::defaults());
    click(u"&Apply"_s);
    testsupport::TexturePage expected;
    expected.procedural = ProceduralBlock(); // 255 zero colours, settings 0, one zero element
    EXPECT_EQ(lastApplied(), expected.record());
}

// A page the editor cannot read is reported; the controls keep the page shown before.
TEST_F(TextureEditorTest, ADamagedPageIsReportedAndTheControlsKeepThePageBefore)
{
    const QByteArray damaged = proceduralTexture(8001).record();
    load({ texture("Odd"), damaged });
    editor.selectPosition(1);
    editor.selectPosition(0);
    EXPECT_EQ(
        dialogs.takeMessages(),
        QStringList({ u"VK Control Panel: The page \"Fire plasma\" cannot be shown: damaged page: "
                      u"its procedural block lists 8001 elements; at most 8000 are "
                      u"allowed."_s }));
    EXPECT_EQ(field(::TexturePage::Name)->text(), u"Odd");
    EXPECT_FALSE(editor.isProcedural());
    EXPECT_EQ(saved(), QList<QByteArray>({ damaged, texture("Odd") }));
}

// The window binds the palette and the elements to the page's block; the navigators' and the
// settings windows' own rules have their suite.
TEST_F(TextureEditorTest, TheProceduralWindowEditsTheBlockOfAProceduralPageOnly)
{
    load({ fire.record(), texture("Wall") });
    click(u"&Procedural"_s); // nothing selected
    editor.selectPosition(1);
    click(u"&Procedural"_s);
    EXPECT_EQ(dialogs.takeMessages(), QStringList({ u"Error: This texture is not procedural"_s }));

    editor.selectPosition(0);
    ProceduralWindow &window = editor.proceduralWindow();
    QLineEdit *type = window.elementField(Procedural::Type), *count = window.countField();
    const auto enter = [](QLineEdit *field, const QString &text, QLineEdit *next) {
        field->setFocus();
        field->setText(text);
        next->setFocus();
    };
    const auto next = [](Navigator &navigator, int steps) {
        for (int step = 0; step < steps; ++step)
            QTest::mouseClick(&navigator.nextButton(), Qt::LeftButton);
    };
    const auto elements = [&] { return window.elementNavigator().counter().text(); };
    EXPECT_TRUE(inModal(
        window, [&] { click(u"&Procedural"_s); },
        [&] {
            EXPECT_EQ(elements(), u"1/3");
            enter(type, u"300"_s, window.colourField());
            enter(window.colourField(), u"70000"_s, type);
            next(window.colourNavigator(), 254);
            EXPECT_EQ(window.colourNavigator().counter().text(), u"255/255");
            EXPECT_EQ(window.colourField()->text(), QString::number(254 * 257));
            next(window.elementNavigator(), 2);
            EXPECT_EQ(window.elementField(Procedural::Y1)->text(), u"248");

            // Out of range or not a number: refused on leaving, and by Apply when not left.
            for (const QString &bad : { u"8001"_s, u"0"_s, u"x"_s }) {
                enter(count, bad, type);
                EXPECT_EQ(QApplication::focusWidget(), count);
                EXPECT_EQ(elements(), u"3/3");
            }
            count->setText(u"9000"_s);
            EXPECT_FALSE(window.apply());
            EXPECT_EQ(dialogs.takeMessages(),
                      QStringList({ u"Error: This value must be between 1 and 8000"_s,
                                    u"Error: This value must be between 1 and 8000"_s,
                                    u"Error: Please enter a correct integer value"_s,
                                    u"Error: This value must be between 1 and 8000"_s }));

            // The count is taken when left, or at a move with it typed: back at element 1.
            enter(count, u"5"_s, type);
            EXPECT_EQ(elements(), u"1/5");
            next(window.elementNavigator(), 1);
            count->setFocus();
            count->setText(u"4"_s);
            next(window.elementNavigator(), 1);
            EXPECT_EQ(elements(), u"1/4");
            next(window.elementNavigator(), 3);
            for (int value = 0; value < Procedural::ElementValueCount; ++value)
                EXPECT_EQ(window.elementField(value)->text(), u"0");
            EXPECT_TRUE(window.apply());
        }));
    click(u"&Apply"_s);
    testsupport::TexturePage expected = fire;
    expected.procedural->elements[0][0] = 44; // the low byte of 300
    expected.procedural->palette[0] = 4464; // and of 70000
    expected.procedural->elements.append(std::array<quint8, 8> {});
    EXPECT_EQ(lastApplied(), expected.record());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}
