#include "fieldcheck.h"
#include "fieldform.h"
#include "navigator.h"
#include "scripteddialogs.h"
#include "settingswindow.h"
#include "testhelpers.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

using Squad = QList<QStringList>; // each member: a name, then three scores
const Squad kSquad { { u"Ann"_s, u"1"_s, u"2"_s, u"3"_s },
                     { u"Bo"_s, u"4"_s, u"5"_s, u"6"_s },
                     { u"Cy"_s, u"7"_s, u"8"_s, u"9"_s } };

const std::array kScoreItems = { intField("score", "Score", "") };
const Layout kScoreLayout { kScoreItems };
enum MemberItem { Name, Scores };
const std::array kMemberItems = { textField("name", "Name", ""), block(kScoreLayout, 3) };
const Layout kMemberLayout { kMemberItems };
enum SquadItem { Count, Members };
const std::array kSquadItems = { intField("count", "Count", ""),
                                 countedBlock(kMemberLayout, "count", 9, "squad", "members") };
const Layout kSquadLayout { kSquadItems };
constexpr std::array kOneColumn = { 0 };

Values valuesOf(const Squad &squad)
{
    Values values = blankValues(kSquadLayout);
    for (const QStringList &texts : squad) {
        Values member = blankValues(kMemberLayout);
        member.field(Name) = texts[0].toLatin1();
        for (int s = 0; s < 3; ++s)
            member.entries(Scores)[size_t(s)].field(0) =
                NumberValue(FieldEncoding::Int, texts[s + 1].toUInt());
        values.entries(Members).push_back(member);
    }
    return values;
}

QStringList textsOf(const Values &squad, int m)
{
    const Values &member = squad.entries(Members)[size_t(m)];
    QStringList texts { QString::fromLatin1(textOf(member.field(Name))) };
    for (const Values &score : member.entries(Scores))
        texts.append(numberText(score.field(0)));
    return texts;
}

// Two levels: the members, counted, and each member's scores.
class SquadWindow : public SettingsWindow
{
    Q_OBJECT

public:
    explicit SquadWindow(UserDialogs &dialogs)
        : SettingsWindow(dialogs, u"Squad"_s, u"squad"_s, {}, nullptr)
    {
        auto *counts =
            new FieldForm(kSquadLayout, kOneColumn, help(), check(), this, Count, Members);
        auto *names = new FieldForm(kMemberLayout, kOneColumn, help(), check(), this, Name, Scores);
        auto *scoreForm = new FieldForm(kScoreLayout, kOneColumn, help(), check(), this);
        count = counts->edit(Count);
        name = names->edit(Name);
        score = scoreForm->edit(0);
        auto *form = new QVBoxLayout;
        for (QWidget *row : std::initializer_list<QWidget *> { counts, names, scoreForm })
            form->addWidget(row);
        form->addWidget(members = addNavigator({ {}, {}, u"Member %1/%2"_s, 9 }));
        form->addWidget(scores = addNavigator({ {}, {}, u"#%1/%2"_s, 3 }));
        members->addInner(scores);
        setContent(form);
        bindEntries(members, Members, kMemberLayout);
        members->setCountField(count, false);
        bind(names, entryOf(members, Members));
        bind(scoreForm, [this](Values &working) -> Values & {
            return entryOf(members, Members)(working).entries(Scores)[size_t(scores->index() - 1)];
        });
        connect(&check(), &FieldCheck::passed, this, [this](QLineEdit *field) {
            if (field == score)
                events.append(u"take"_s);
        });
    }

    void refill() override
    {
        events.append(u"refill"_s);
        SettingsWindow::refill();
    }
    bool keepShown() override
    {
        events.append(u"keep"_s);
        return !refuseKeep && SettingsWindow::keepShown();
    }
    std::optional<Refusal> validate() const override
    {
        for (const Values &member : working().entries(Members))
            if (textOf(member.field(Name)).isEmpty())
                return Refusal { u"Every member needs a name"_s, name };
        return std::nullopt;
    }

    QLineEdit *count, *name, *score;
    Navigator *members, *scores;
    QStringList events;
    bool refuseKeep = false;
};

class NavigatorTest : public testing::Test
{
protected:
    NavigatorTest()
    {
        window.load(squad);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        window.events.clear();
    }

    void click(Navigator &level, bool next)
    {
        QTest::mouseClick(next ? &level.nextButton() : &level.previousButton(), Qt::LeftButton);
    }
    void click(const QString &text)
    {
        for (QPushButton *button : window.findChildren<QPushButton *>())
            if (button->text() == text)
                QTest::mouseClick(button, Qt::LeftButton);
    }
    // Typed into a field that keeps the focus, as before a click on a button.
    void type(QLineEdit *field, const QString &text)
    {
        field->setFocus();
        field->setText(text);
    }
    QString states(Navigator &level) const
    {
        return level.counter().text() + (level.previousButton().isEnabled() ? u" <"_s : u""_s) +
            (level.nextButton().isEnabled() ? u" >"_s : u""_s);
    }
    QWidget *focused() const { return QApplication::focusWidget(); }

    Values squad = valuesOf(kSquad);
    ScriptedDialogs dialogs;
    SquadWindow window { dialogs };
    Navigator &members = *window.members;
    Navigator &scores = *window.scores;
};

} // namespace

TEST_F(NavigatorTest, ButtonsFollowTheIndexAndTheBoundAndOuterMovesRestartInnerOnes)
{
    EXPECT_EQ(states(members), u"Member 1/3 >");
    click(scores, true);
    click(members, true);
    EXPECT_EQ(states(scores), u"#1/3 >");
    EXPECT_EQ(window.score->text(), u"4");
    click(members, true);
    EXPECT_EQ(states(members), u"Member 3/3 <");
    window.events.clear();
    EXPECT_FALSE(members.next());
    EXPECT_TRUE(window.events.isEmpty()); // nothing kept for a move that cannot happen

    // A new count ends the move at entry 1: the user sees that first.
    type(window.count, u"2"_s);
    EXPECT_FALSE(members.previous());
    EXPECT_EQ(states(members), u"Member 1/2 >");
    EXPECT_EQ(window.name->text(), u"Ann");
    members.setBound(0);
    EXPECT_EQ(states(members), u"Member 1/0");
    EXPECT_FALSE(members.previous() || members.next());
}

TEST_F(NavigatorTest, AMoveTakesThePendingFieldKeepsAndThenRefills)
{
    type(window.score, u"77"_s);
    click(scores, true);
    EXPECT_EQ(window.events, QStringList({ u"take"_s, u"keep"_s, u"refill"_s }));
    EXPECT_EQ(focused(), window.score);
    type(window.name, u"Zed"_s);
    click(members, true);
    click(members, false);
    EXPECT_EQ(window.name->text() + window.score->text(), u"Zed77");
    EXPECT_EQ(squad, valuesOf(kSquad)); // only Apply hands back

    // A failed check keeps the focus and the entry; a move tried while it is reported is refused.
    window.events.clear();
    type(window.score, u"x"_s);
    bool movedDuringBox = true;
    dialogs.onMessage = [&] { movedDuringBox = scores.next(); };
    click(scores, true);
    EXPECT_FALSE(movedDuringBox);
    EXPECT_EQ(dialogs.takeMessages(),
              QStringList({ u"Error: Please enter a correct integer value"_s }));
    EXPECT_EQ(focused(), window.score);
    EXPECT_EQ(scores.index(), 1);
    EXPECT_TRUE(window.events.isEmpty());

    dialogs.onMessage = nullptr;
    window.score->setText(u"1"_s);
    window.refuseKeep = true;
    EXPECT_FALSE(members.next());
    EXPECT_EQ(window.events, QStringList({ u"take"_s, u"keep"_s }));
    EXPECT_EQ(members.index(), 1);
}

TEST_F(NavigatorTest, ApplyHandsBackAndStaysOpenUnlessRefused)
{
    click(members, true);
    type(window.name, u"Bob"_s);
    click(u"&Apply"_s);
    EXPECT_EQ(textsOf(squad, 1)[0], u"Bob");
    EXPECT_TRUE(window.isVisible());

    // Refused by validation, by a failed pending check, or by the keep: nothing handed back.
    type(window.score, u"70"_s);
    window.name->clear();
    click(u"&Apply"_s);
    EXPECT_EQ(dialogs.takeMessages(), QStringList({ u"Error: Every member needs a name"_s }));
    EXPECT_EQ(focused(), window.name);
    window.name->setText(u"Bea"_s);
    type(window.score, u"x"_s);
    click(u"&Apply"_s);
    EXPECT_EQ(dialogs.takeMessages(),
              QStringList({ u"Error: Please enter a correct integer value"_s }));
    EXPECT_EQ(focused(), window.score);
    window.score->setText(u"71"_s);
    window.refuseKeep = true;
    EXPECT_FALSE(window.apply());
    EXPECT_EQ(textsOf(squad, 1), QStringList({ u"Bob"_s, u"4"_s, u"5"_s, u"6"_s }));
}

TEST_F(NavigatorTest, CloseDropsTheWorkingCopyAndOpeningRefills)
{
    type(window.name, u"Zed"_s);
    click(members, true);
    click(scores, true);
    type(window.score, u"x"_s); // not yet left: closing reports nothing
    click(u"&Close"_s);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(squad, valuesOf(kSquad));

    squad.entries(Members)[0].field(Name) = QByteArrayLiteral("Ada");
    bool wasModal = false;
    QTimer::singleShot(0, &window, [&] {
        wasModal = QApplication::activeModalWidget() == &window;
        EXPECT_EQ(window.name->text(), u"Ada");
        EXPECT_EQ(states(members) + states(scores), u"Member 1/3 >#1/3 >");
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        type(window.name, u"Amy"_s);
        QTest::keyClick(window.name, Qt::Key_Escape);
    });
    window.edit(squad);
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(textsOf(squad, 0)[0], u"Ada");
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

#include "navigator_test.moc"
