// What a field can say, on a made-up layout.

#include "editorwindow.h"
#include "fieldform.h"
#include "genericpage.h"
#include "scripteddialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

const std::array<ChoiceItem, 4> kTypes = {
    { { "Robot", 2 }, { "Powerup", 7 }, { "Clutter", 11 }, { "Building", 16 } }
};

enum { Type, Glow, Deaths, Flags, Spare, Name, Count };
const std::array<Item, Count> kItems = { {
    field("type",
          { .encoding = FieldEncoding::Choice, .caption = "Type", .hint = "", .choices = kTypes }),
    field("glow", { FieldEncoding::Float, "Glow", "", NumberField::Float, {}, {}, "Glow is odd" }),
    field("deaths",
          { FieldEncoding::Word,
            "Deaths",
            "",
            NumberField::Integer,
            {},
            {},
            {},
            { { 1, 4, "1-4" } } }),
    field("flags", unknownField(FieldEncoding::IntBits, "Flags", "")),
    hidden("spare", { FieldEncoding::String, "", "" }),
    textField("name", "Name", "Its name."),
} };
const Layout kLayout = { kItems };

class Window : public EditorWindow
{
    Q_OBJECT

public:
    explicit Window(UserDialogs &dialogs, const Layout &layout = kLayout)
        : EditorWindow(dialogs, u"Made up"_s, u"madeup"_s, nullptr)
    {
        auto *content = new QVBoxLayout;
        content->addWidget(form = new FieldForm(layout, std::array { 0 }, help(), check(), this));
        setContent(content);
    }
    using EditorWindow::check;
    using EditorWindow::help;
    FieldForm *form;
};

class FieldFormTest : public testing::Test
{
protected:
    FieldFormTest()
    {
        values.field(Type) = quint32(7);
        values.field(Flags) = quint32(0xfffffff0u);
        values.field(Spare) = QByteArray("kept");
        form.show(values);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    // Types text into a field and leaves it for another.
    void enter(int item, const QString &text)
    {
        form.edit(item)->setFocus();
        form.edit(item)->setText(text);
        form.edit(item == Glow ? Deaths : Glow)->setFocus();
    }

    ScriptedDialogs dialogs;
    Window window { dialogs };
    FieldForm &form = *window.form;
    Values values = blankValues(kLayout);
};

} // namespace

TEST_F(FieldFormTest, StoredValuesSurviveWhatTheControlsCannotShowOrChange)
{
    QComboBox *type = form.choice(Type);
    EXPECT_EQ(type->currentText(), u"Powerup");
    type->setCurrentIndex(3);
    // A value nobody knows the meaning of: shown checked, whatever its bits, and never written.
    EXPECT_EQ(form.checkList(Flags)->item(0)->checkState(), Qt::Checked);
    form.checkList(Flags)->item(0)->setCheckState(Qt::Unchecked);
    form.keep(values);
    EXPECT_EQ(maskOf(values.field(Type)), 16u);
    EXPECT_EQ(maskOf(values.field(Flags)), 0xfffffff0u);

    values.field(Type) = quint32(5); // a code with no item
    form.show(values);
    EXPECT_EQ(type->currentIndex(), -1);
    EXPECT_EQ(form.checkList(Flags)->item(0)->checkState(), Qt::Checked);
    form.keep(values);
    EXPECT_EQ(maskOf(values.field(Type)), 5u);
    EXPECT_EQ(textOf(values.field(Spare)), "kept");
    EXPECT_EQ(form.caption(Spare), nullptr); // hidden values have no control
}

TEST_F(FieldFormTest, AFieldSaysItsOwnMessageAndChecksItsRangeWhenLeft)
{
    enter(Glow, u"bright"_s);
    EXPECT_EQ(QApplication::focusWidget(), form.edit(Glow));
    enter(Glow, u"1.5"_s);
    for (const QString &bad : { u"0"_s, u"5"_s, u"x"_s, u"4"_s })
        enter(Deaths, bad);
    enter(Glow, QString()); // empty passes
    EXPECT_EQ(QApplication::focusWidget(), form.edit(Deaths));
    EXPECT_EQ(dialogs.takeMessages(),
              QStringList({ u"Error: Glow is odd"_s, u"Error: 1-4"_s, u"Error: 1-4"_s,
                            u"Error: Please enter a correct integer value"_s }));
}

// What a field shows differently from what is stored is marked, for eyes and screen readers,
// and kept; a character the file cannot store is refused when the field is left.
TEST_F(FieldFormTest, WhatAFieldCannotShowExactlyIsMarkedAndKept)
{
    const QByteArray longName = "\xc9t\x80 " + QByteArray(44, 'n'); // 48 bytes
    values.field(Glow) = NumberValue(FieldEncoding::Float, bitsFromFloat(1234.5f));
    values.field(Name) = longName;
    form.show(values);
    EXPECT_EQ(form.edit(Glow)->text(), u"1235");
    EXPECT_EQ(form.note(Glow), u"stored: 1234.5");
    EXPECT_EQ(form.edit(Glow)->accessibleDescription(), u"stored: 1234.5");
    EXPECT_EQ(form.stored(Flags)->text(), u"stored: 0xfffffff0");
    EXPECT_EQ(form.edit(Name)->text(), u"\u00c9t\u20ac "_s + QString(44, u'n'));
    EXPECT_TRUE(form.note(Name).startsWith(u"Longer than the 35 characters"_s));
    form.edit(Glow)->setText(u"1235.5"_s);
    EXPECT_EQ(form.note(Glow), QString());
    for (const float shownExactly : { 0.05f, 12000.0f, 1e-5f, -2.5f, 100.5f }) {
        Values exact = values;
        exact.field(Glow) = NumberValue(FieldEncoding::Float, bitsFromFloat(shownExactly));
        form.show(exact);
        EXPECT_EQ(form.note(Glow), QString()) << shownExactly;
    }
    values.field(Glow) = NumberValue(FieldEncoding::Float, bitsFromFloat(0.123456f));
    form.show(values);
    EXPECT_EQ(form.note(Glow), u"stored: 0.123456");
    form.edit(Name)->setText(form.edit(Name)->text().replace(0, 1, u'E'));
    form.keep(values);
    EXPECT_EQ(textOf(values.field(Name)), "Et\x80 " + QByteArray(44, 'n'));

    enter(Name, u"H\u0151"_s);
    EXPECT_EQ(QApplication::focusWidget(), form.edit(Name));
    enter(Name, u"\u00e9\u20ac"_s);
    EXPECT_EQ(dialogs.takeMessages(),
              QStringList({ u"Error: The character \"\u0151\" (U+0151) cannot be stored in a "
                            u"table file: its texts are Windows-1252"_s }));
    form.keep(values);
    EXPECT_EQ(textOf(values.field(Name)), "\xe9\x80");
    EXPECT_EQ(form.note(Name), QString());
}

// A choice whose lists an earlier choice picks: a picking code with no entry shows no list's
// choice, and both codes are kept.
TEST(FieldFormLists, APickWithNoEntryKeepsBothCodes)
{
    using namespace GenericPage::AiBlock;
    ScriptedDialogs dialogs;
    Window window(dialogs, layout);
    Values values = blankValues(layout);
    values.field(MovementType) = quint32(5);
    values.field(MovementSubtype) = quint32(3);
    window.form->show(values);
    window.form->keep(values);
    EXPECT_EQ(maskOf(values.field(MovementType)), 5u);
    EXPECT_EQ(maskOf(values.field(MovementSubtype)), 3u);
}

// A form over part of a layout has the controls of its own items, up to its end.
TEST_F(FieldFormTest, AFormOverPartOfALayoutHasTheControlsOfItsItemsOnly)
{
    const auto *part = new FieldForm(kLayout, std::array { 0 }, window.help(), window.check(),
                                     &window, Glow, Flags);
    EXPECT_EQ(part->choice(Type), nullptr);
    EXPECT_NE(part->edit(Glow), nullptr);
    EXPECT_NE(part->edit(Deaths), nullptr);
    EXPECT_EQ(part->checkList(Flags), nullptr);
    EXPECT_EQ(part->caption(Flags), nullptr);
    EXPECT_NE(form.checkList(Flags), nullptr);
}

#include "fieldform_test.moc"
