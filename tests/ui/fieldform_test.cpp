// What a field can say, on a made-up layout.

#include "doorpage.h"
#include "editorwindow.h"
#include "fieldform.h"
#include "genericpage.h"
#include "pageformats.h"
#include "pagetext.h"
#include "references.h"
#include "referencetargets.h"
#include "scripteddialogs.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSet>
#include <QSignalSpy>
#include <QStringListModel>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <map>

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

// The pages of a made-up table, by kind, and the pages asked to be opened.
class Targets : public ReferenceTargets
{
public:
    void setPages(PageKind kind, const QStringList &names)
    {
        m_pages[kind] = names;
        for (const auto &[kinds, model] : m_models)
            model->setStringList(namesOf(kinds));
        emit changed();
    }
    QAbstractItemModel &names(KindSet kinds) override
    {
        return *m_models.emplace_back(kinds, new QStringListModel(namesOf(kinds), this)).second;
    }
    bool isNamed(KindSet kinds, const QByteArray &name) const override
    {
        return namesOf(kinds).contains(textFromBytes(name));
    }
    void goTo(KindSet, const QByteArray &name, QWidget &) override { opened.append(name); }

    QList<QByteArray> opened;

private:
    QStringList namesOf(KindSet kinds) const
    {
        QStringList names;
        for (const auto &[kind, pages] : m_pages)
            if (kinds.contains(kind))
                names += pages;
        return names;
    }
    std::map<PageKind, QStringList> m_pages;
    std::vector<std::pair<KindSet, QStringListModel *>> m_models;
};

void addLayouts(const Layout &layout, QList<const Layout *> &layouts)
{
    layouts.append(&layout);
    for (const Item &item : layout.items)
        if (item.block && !layouts.contains(item.block))
            addLayouts(*item.block, layouts);
}

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
    // A window's own problem goes with the note, first.
    form.setProblem(Name, u"Another page is named so"_s);
    EXPECT_EQ(form.edit(Name)->accessibleDescription(),
              u"Another page is named so\n"_s + form.note(Name));
    form.setProblem(Name, {});
    EXPECT_EQ(form.edit(Name)->accessibleDescription(), form.note(Name));
    EXPECT_EQ(form.problem(Name), QString());
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

// Every field that names pages, in every kind's page and block, has a pick button and says
// at once, and when the table changes, whether a page of its kinds has its name.
TEST(FieldFormReferences, EveryFieldNamingPagesSaysWhetherThePageIsThere)
{
    QList<const Layout *> layouts;
    for (const PageKind kind : kEditedKinds)
        addLayouts(*pageFormat(kind).layout, layouts);
    ScriptedDialogs dialogs;
    Targets targets;
    for (const PageKind kind : kEditedKinds)
        targets.setPages(kind, { kindInfo(kind).name.toString() + u" page"_s });
    QSet<QString> said;
    for (const Layout *layout : std::as_const(layouts)) {
        Window window(dialogs, *layout);
        FieldForm &form = *window.form;
        form.setReferences(&targets);
        for (int i = 0; i < layout->size(); ++i) {
            const FieldSpec &field = (*layout)[i].field;
            if (field.refersTo.isEmpty() || !form.edit(i)) {
                EXPECT_EQ(form.pickButton(i), nullptr) << field.key;
                continue;
            }
            const PageKind target =
                *std::find_if(kEditedKinds.begin(), kEditedKinds.end(),
                              [&](PageKind kind) { return field.refersTo.contains(kind); });
            const QString page = kindInfo(target).name.toString() + u" page"_s;
            ASSERT_TRUE(form.pickButton(i) && !form.pickButton(i)->isHidden()) << field.key;
            EXPECT_TRUE(form.pickButton(i)->accessibleName().startsWith(u"Pick a "_s));
            form.edit(i)->setText(u"x"_s);
            const QString missing = form.problem(i);
            said.insert(missing);
            EXPECT_TRUE(missing.contains(kindNames(field.refersTo))) << field.key;
            EXPECT_EQ(form.edit(i)->accessibleDescription(), missing);
            targets.setPages(target, { page, u"x"_s });
            EXPECT_EQ(form.problem(i), QString()) << field.key;
            targets.setPages(target, { page });
            EXPECT_EQ(form.problem(i), missing) << field.key;
            for (const QString &text : { page, QString() }) {
                form.edit(i)->setText(text);
                EXPECT_EQ(form.problem(i), QString()) << field.key;
            }
            form.edit(i)->setText(u"H\u0151"_s); // no page name can hold it
            EXPECT_FALSE(form.problem(i).isEmpty());
        }
        form.setReferences(nullptr);
        for (int i = 0; i < layout->size(); ++i)
            EXPECT_TRUE(form.problem(i).isEmpty() &&
                        (!form.pickButton(i) || form.pickButton(i)->isHidden()));
    }
    EXPECT_EQ(
        said,
        QSet<QString>({ u"No sound page is named \"x\""_s, u"No texture page is named \"x\""_s,
                        u"No weapon or generic page is named \"x\""_s }));
}

// Typing offers the names that contain the text, as the page lists filter; picking types the
// name as its page spells it; Ctrl+Enter opens the named page only.
TEST(FieldFormReferences, CompletesPicksAndGoesToTheNamedPage)
{
    ScriptedDialogs dialogs;
    Targets targets;
    targets.setPages(PageKind::Sound, { u"Door Shut"_s, u"Door Opn 2"_s, u"\u00c9clat"_s });
    Window window(dialogs, DoorPage::layout);
    FieldForm &form = *window.form;
    form.setReferences(&targets);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QLineEdit &sound = *form.edit(DoorPage::OpenSound);
    const QSignalSpy edited(&form, &FieldForm::edited);
    const QAbstractItemView &popup = *sound.findChild<QCompleter *>()->popup();
    // The names the popup of the field with the focus offers.
    const auto offered = [] {
        const auto *popup = qobject_cast<QAbstractItemView *>(QApplication::activePopupWidget());
        QStringList names;
        for (int row = 0; popup && row < popup->model()->rowCount(); ++row)
            names.append(popup->model()->index(row, 0).data().toString());
        return names;
    };

    const auto type = [&sound](const QString &text) {
        for (const QChar character : text) // a key for each, as keyClicks has for ASCII only
            QTest::sendKeyEvent(QTest::Click, &sound, Qt::Key_unknown, character, {});
    };
    sound.setFocus();
    type(u"door opn"_s);
    EXPECT_EQ(form.problem(DoorPage::OpenSound), u"No sound page is named \"door opn\""_s);

    // A name that begins with the text is the one Enter picks; else Down goes to the first.
    const std::tuple<QString, QString, int> picks[] = { { u"OPN"_s, u"Door Opn 2"_s, -1 },
                                                        { u"\u00e9cl"_s, u"\u00c9clat"_s, 0 } };
    for (const auto &[typed, picked, current] : picks) {
        sound.clear();
        type(typed);
        EXPECT_EQ(offered(), QStringList(picked));
        EXPECT_EQ(popup.currentIndex().row(), current);
        if (current < 0)
            QTest::keyClick(popup.viewport(), Qt::Key_Down);
        const qsizetype edits = edited.size();
        QTest::keyClick(popup.viewport(), Qt::Key_Return);
        EXPECT_EQ(sound.text(), picked);
        EXPECT_EQ(edited.size(), edits + 1);
        EXPECT_EQ(form.problem(DoorPage::OpenSound), QString());
    }
    Values values = blankValues(DoorPage::layout);
    form.keep(values);
    EXPECT_EQ(textOf(values.field(DoorPage::OpenSound)),
              QByteArray("\xc9"
                         "clat"));
    sound.undo(); // a pick is undone as typing is
    EXPECT_EQ(sound.text(), u"\u00e9cl"_s);

    QTest::keyClick(&sound, Qt::Key_F4);
    EXPECT_EQ(offered().size(), 3);
    QTest::keyClick(popup.viewport(), Qt::Key_Escape); // closes the list, not the window
    EXPECT_TRUE(!popup.isVisible() && window.isVisible());
    QTest::mouseClick(form.pickButton(DoorPage::CloseSound), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), form.edit(DoorPage::CloseSound));
    EXPECT_EQ(offered().size(), 3);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);

    // Going to a page: only one that is there; a name of none says so.
    sound.setFocus();
    QTest::keyClick(&sound, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(window.helpMemo().toPlainText(), u"No sound page is named \"\u00e9cl\""_s);
    sound.setText(u"Door Shut"_s);
    QTest::keyClick(&sound, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
    QTest::mouseClick(&sound, Qt::LeftButton, Qt::ControlModifier);
    form.edit(DoorPage::CloseSound)->setText(u"door shut"_s);
    QTest::mouseClick(form.edit(DoorPage::CloseSound), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(targets.opened, QList<QByteArray>({ "Door Shut", "Door Shut" }));
}

#include "fieldform_test.moc"
