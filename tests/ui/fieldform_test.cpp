// What a field can say, on a made-up layout: drop-downs that store codes, read-only check lists,
// a field's own check message, integer ranges.

#include "editorwindow.h"
#include "fieldform.h"
#include "scripteddialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

const std::array<const char *, 4> kTypes = { "Robot", "Powerup", "Clutter", "Building" };
const std::array<quint8, 4> kTypeCodes = { 2, 7, 11, 16 };
const std::array<const char *, 1> kUnknown = { "Unknown" };

enum { Type, Glow, Deaths, Flags, Spare, Count };
const std::array<Item, Count> kItems = { {
    field({ FieldEncoding::Choice, "Object type", "", std::nullopt, kTypes, kTypeCodes }),
    field({ FieldEncoding::Float,
            "Glow",
            "",
            NumberField::Float,
            {},
            {},
            "Please enter a float integer value" }),
    field({ FieldEncoding::Word,
            "Deaths",
            "",
            NumberField::Integer,
            {},
            {},
            nullptr,
            IntRange { 1, 4, "Number of death types must be between 1 and 4" } }),
    field({ FieldEncoding::IntBits,
            "AI flags",
            "",
            std::nullopt,
            kUnknown,
            {},
            nullptr,
            std::nullopt,
            true }),
    hidden({ FieldEncoding::String, "", "" }),
} };
const Layout kLayout = { kItems };

class Window : public EditorWindow
{
    Q_OBJECT

public:
    explicit Window(UserDialogs &dialogs)
        : EditorWindow(dialogs, u"Made up"_s, u"madeup"_s, nullptr)
    {
        form = new FieldForm(kLayout, std::array { 0 }, help(), check(), this);
        auto *content = new QVBoxLayout;
        content->addWidget(form);
        setContent(content);
    }
    FieldForm *form;
};

class FieldFormTest : public testing::Test
{
protected:
    FieldFormTest()
    {
        values.field(Type) = quint32(7);
        values.field(Flags) = quint32(0xfffffff1u);
        values.field(Spare) = QByteArray("kept");
        window.form->show(values);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QComboBox *type() const { return window.form->choice(Type); }
    // Types text into a field and leaves it for another.
    void enter(int item, const QString &text)
    {
        QLineEdit *edit = window.form->edit(item);
        edit->setFocus();
        edit->setText(text);
        window.form->edit(item == Glow ? Deaths : Glow)->setFocus();
    }

    ScriptedDialogs dialogs;
    Window window { dialogs };
    Values values = blankValues(kLayout);
};

} // namespace

TEST_F(FieldFormTest, ADropDownShowsAndStoresCodesAndKeepsOneItHasNoItemFor)
{
    EXPECT_EQ(type()->currentText(), u"Powerup");
    type()->setCurrentIndex(3);
    window.form->keep(values);
    EXPECT_EQ(maskOf(values.field(Type)), 16u);

    values.field(Type) = quint32(5);
    window.form->show(values);
    EXPECT_EQ(type()->currentIndex(), -1);
    window.form->keep(values);
    EXPECT_EQ(maskOf(values.field(Type)), 5u);
    EXPECT_EQ(textOf(values.field(Spare)), "kept"); // hidden values have no control
    EXPECT_EQ(window.form->caption(Spare), nullptr);
}

TEST_F(FieldFormTest, AReadOnlyCheckListShowsItsValueAndNeverWritesIt)
{
    QListWidget *flags = window.form->checkList(Flags);
    EXPECT_EQ(flags->item(0)->checkState(), Qt::Checked);
    EXPECT_FALSE(flags->item(0)->flags() & Qt::ItemIsUserCheckable);
    flags->item(0)->setCheckState(Qt::Unchecked);
    window.form->keep(values);
    EXPECT_EQ(maskOf(values.field(Flags)), 0xfffffff1u);
}

TEST_F(FieldFormTest, AFieldSaysItsOwnMessageAndChecksItsRangeWhenLeft)
{
    enter(Glow, u"bright"_s);
    EXPECT_EQ(dialogs.takeMessages(),
              QStringList({ u"Error: Please enter a float integer value"_s }));
    EXPECT_EQ(QApplication::focusWidget(), window.form->edit(Glow));
    enter(Glow, u"1.5"_s);
    for (const QString &bad : { u"0"_s, u"5"_s, u"x"_s })
        enter(Deaths, bad);
    EXPECT_EQ(dialogs.takeMessages(),
              QStringList({ u"Error: Number of death types must be between 1 and 4"_s,
                            u"Error: Number of death types must be between 1 and 4"_s,
                            u"Error: Please enter a correct integer value"_s }));
    enter(Deaths, u"4"_s);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

#include "fieldform_test.moc"
