#include "fieldcheck.h"
#include "navigator.h"
#include "scripteddialogs.h"
#include "settingswindow.h"
#include "testhelpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

struct Member
{
    QString name;
    std::array<QString, 3> scores;
    bool operator==(const Member &) const = default;
};

struct Squad
{
    QString motto;
    QList<Member> members;
    bool operator==(const Squad &) const = default;
};

// A made-up dialog over two levels: the members of a squad, and each member's three scores.
class SquadWindow : public SettingsWindow
{
    Q_OBJECT

public:
    explicit SquadWindow(UserDialogs &dialogs)
        : SettingsWindow(dialogs, u"Squad"_s, u"squad"_s,
                         { u"Apply the squad."_s, u"Close the squad."_s }, nullptr)
    {
        auto *form = new QFormLayout;
        const auto row = [&](const QString &caption) {
            auto *field = new QLineEdit(this);
            form->addRow(caption, field);
            return field;
        };
        motto = row(u"Motto"_s);
        count = row(u"Members"_s);
        name = row(u"Name"_s);
        score = row(u"Score"_s);
        members = addNavigator({ .previous = { u"Prev member"_s, u"Previous member."_s },
                                 .next = { u"Next member"_s, u"Next member."_s },
                                 .counter = u"Member %1/%2"_s,
                                 .largestBound = 9 });
        scores = addNavigator({ .previous = { {}, u"Previous score."_s, u"Previous score"_s },
                                .next = { {}, u"Next score."_s, u"Next score"_s },
                                .counter = u"#%1/%2"_s,
                                .largestBound = 3 });
        members->addInner(scores);
        form->addRow(members);
        form->addRow(scores);
        setContent(form);

        check().add(count, NumberField::Integer);
        check().setTake(count, [this](const QString &text) -> std::optional<QString> {
            const int taken = text.toInt();
            if (taken < 1 || taken > 9)
                return u"A squad has 1 to 9 members"_s;
            if (taken == copy.members.size())
                return std::nullopt;
            copy.members.resize(taken);
            members->setBound(taken);
            refill();
            return std::nullopt;
        });
        check().add(score, NumberField::Integer);
        check().setTake(score, [this](const QString &) {
            events.append(u"take"_s);
            return std::optional<QString>();
        });
    }

    Member &shown() { return copy.members[members->index() - 1]; }

    void takeWorkingCopy() override
    {
        copy = *source;
        members->setBound(int(copy.members.size()));
    }
    void refill() override
    {
        events.append(u"refill"_s);
        motto->setText(copy.motto);
        count->setText(QString::number(copy.members.size()));
        name->setText(shown().name);
        score->setText(shown().scores[scores->index() - 1]);
    }
    bool keepShown() override
    {
        events.append(u"keep"_s);
        if (refuseKeep)
            return false;
        copy.motto = motto->text();
        shown().name = name->text();
        shown().scores[scores->index() - 1] = score->text();
        return true;
    }
    std::optional<Refusal> validate() const override
    {
        if (copy.motto.isEmpty())
            return Refusal { u"A squad needs a motto"_s, motto };
        return std::nullopt;
    }
    void handBack() override { *source = copy; }

    Squad *source = nullptr;
    Squad copy;
    QLineEdit *motto, *count, *name, *score;
    Navigator *members, *scores;
    QStringList events;
    bool refuseKeep = false;
};

const Squad kSquad { u"Onward"_s,
                     { { u"Ann"_s, { u"1"_s, u"2"_s, u"3"_s } },
                       { u"Bo"_s, { u"4"_s, u"5"_s, u"6"_s } },
                       { u"Cy"_s, { u"7"_s, u"8"_s, u"9"_s } } } };

class NavigatorTest : public testing::Test
{
protected:
    NavigatorTest()
    {
        window.source = &squad;
        window.load();
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        window.events.clear();
    }

    void clickOn(QAbstractButton &button) { QTest::mouseClick(&button, Qt::LeftButton); }
    void click(const QString &text)
    {
        for (QPushButton *button : window.findChildren<QPushButton *>())
            if (button->text() == text)
                return clickOn(*button);
        ADD_FAILURE() << "no button " << text.toStdString();
    }
    // Typed into a field that keeps the focus, as before a click on a button.
    void type(QLineEdit *field, const QString &text)
    {
        field->setFocus();
        field->setText(text);
    }
    QWidget *focused() const { return QApplication::focusWidget(); }
    Navigator &members() { return *window.members; }
    Navigator &scores() { return *window.scores; }

    Squad squad = kSquad;
    ScriptedDialogs dialogs;
    SquadWindow window { dialogs };
};

} // namespace

TEST_F(NavigatorTest, ButtonsFollowTheIndexAndTheBound)
{
    EXPECT_EQ(members().counter().text(), u"Member 1/3");
    EXPECT_EQ(scores().counter().text(), u"#1/3");
    EXPECT_FALSE(members().previousButton().isEnabled());
    EXPECT_TRUE(members().nextButton().isEnabled());
    EXPECT_EQ(scores().previousButton().accessibleName(), u"Previous score");
    QTest::mouseMove(&members().nextButton(), members().nextButton().rect().center());
    EXPECT_EQ(window.helpMemo().toPlainText(), u"Next member.");

    clickOn(members().nextButton());
    clickOn(members().nextButton());
    EXPECT_EQ(members().counter().text(), u"Member 3/3");
    EXPECT_EQ(window.name->text(), u"Cy");
    EXPECT_TRUE(members().previousButton().isEnabled());
    EXPECT_FALSE(members().nextButton().isEnabled());
    window.events.clear();
    EXPECT_FALSE(members().next());
    EXPECT_TRUE(window.events.isEmpty()); // nothing kept for a move that cannot happen

    // A count typed and not left is taken by the move: the bound grows first.
    type(window.count, u"5"_s);
    clickOn(members().previousButton());
    EXPECT_EQ(members().counter().text(), u"Member 2/5");
    EXPECT_TRUE(members().nextButton().isEnabled());
    // A lower count that cuts the index ends the move there: the user sees that entry first.
    clickOn(members().nextButton());
    type(window.count, u"2"_s);
    EXPECT_FALSE(members().previous());
    EXPECT_EQ(members().counter().text(), u"Member 2/2");
    EXPECT_EQ(window.name->text(), u"Bo");

    members().setBound(1);
    EXPECT_EQ(members().counter().text(), u"Member 1/1");
    EXPECT_FALSE(members().previousButton().isEnabled());
    EXPECT_FALSE(members().nextButton().isEnabled());
    members().setBound(0);
    EXPECT_EQ(members().counter().text(), u"Member 1/0");
    EXPECT_FALSE(members().previousButton().isEnabled());
    EXPECT_FALSE(members().nextButton().isEnabled());
    EXPECT_FALSE(members().next());
    EXPECT_FALSE(members().previous());
    EXPECT_EQ(members().index(), 1);
}

TEST_F(NavigatorTest, MovingAnOuterLevelRestartsTheInnerOnes)
{
    clickOn(scores().nextButton());
    clickOn(scores().nextButton());
    EXPECT_EQ(window.score->text(), u"3");
    clickOn(members().nextButton());
    EXPECT_EQ(members().counter().text(), u"Member 2/3");
    EXPECT_EQ(scores().counter().text(), u"#1/3");
    EXPECT_FALSE(scores().previousButton().isEnabled());
    EXPECT_EQ(window.score->text(), u"4");

    clickOn(scores().nextButton());
    EXPECT_EQ(members().counter().text(), u"Member 2/3");
    EXPECT_EQ(window.score->text(), u"5");

    members().setIndex(3);
    EXPECT_EQ(scores().index(), 1);
    scores().setIndex(3);
    members().setBound(2); // the index comes back within the bound: another entry
    EXPECT_EQ(members().index(), 2);
    EXPECT_EQ(scores().index(), 1);

    scores().setIndex(2);
    window.events.clear();
    members().reset();
    EXPECT_EQ(members().index(), 1);
    EXPECT_EQ(scores().counter().text(), u"#1/3");
    EXPECT_TRUE(window.events.isEmpty());
}

TEST_F(NavigatorTest, AMoveChecksThePendingFieldKeepsAndThenShows)
{
    // Buttons leave the focus in the field: what is typed there is taken before the move.
    type(window.score, u"77"_s);
    clickOn(scores().nextButton());
    EXPECT_EQ(window.events, QStringList({ u"take"_s, u"keep"_s, u"refill"_s }));
    EXPECT_EQ(focused(), window.score);
    EXPECT_EQ(window.score->text(), u"2");
    type(window.name, u"Zed"_s);
    clickOn(members().nextButton());
    EXPECT_EQ(window.name->text(), u"Bo");
    clickOn(members().previousButton());
    EXPECT_EQ(window.name->text(), u"Zed");
    EXPECT_EQ(window.score->text(), u"77");
    EXPECT_EQ(squad, kSquad); // only Apply hands back

    // A failed check keeps the focus and the entry; a move tried while it is reported is refused.
    window.events.clear();
    type(window.score, u"x"_s);
    bool movedDuringBox = true;
    dialogs.onMessage = [&] { movedDuringBox = scores().next(); };
    clickOn(scores().nextButton());
    dialogs.onMessage = nullptr;
    EXPECT_FALSE(movedDuringBox);
    EXPECT_EQ(dialogs.takeMessages(),
              QStringList({ u"Error: Please enter a correct integer value"_s }));
    EXPECT_EQ(focused(), window.score);
    EXPECT_EQ(scores().counter().text(), u"#1/3");
    EXPECT_TRUE(window.events.isEmpty());

    window.score->setText(u"1"_s);
    window.refuseKeep = true;
    EXPECT_FALSE(members().next());
    EXPECT_EQ(window.events, QStringList({ u"take"_s, u"keep"_s }));
    EXPECT_EQ(members().counter().text(), u"Member 1/3");
}

TEST_F(NavigatorTest, ApplyHandsTheWorkingCopyBackAndStaysOpen)
{
    clickOn(members().nextButton());
    type(window.name, u"Bob"_s);
    click(u"&Apply"_s);
    EXPECT_EQ(squad.members[1].name, u"Bob");
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(focused(), window.name);

    // Refused as a whole, by a failed pending check, or by the keep: nothing handed back.
    type(window.name, u"Bea"_s);
    type(window.motto, QString());
    click(u"&Apply"_s);
    EXPECT_EQ(dialogs.takeMessages(), QStringList({ u"Error: A squad needs a motto"_s }));
    EXPECT_EQ(focused(), window.motto);
    window.motto->setText(u"Onward"_s);
    type(window.count, u"12"_s);
    click(u"&Apply"_s);
    EXPECT_EQ(dialogs.takeMessages(), QStringList({ u"Error: A squad has 1 to 9 members"_s }));
    EXPECT_EQ(focused(), window.count);
    window.count->setText(u"3"_s);
    window.refuseKeep = true;
    EXPECT_FALSE(window.apply());
    EXPECT_EQ(squad.members[1].name, u"Bob");
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(NavigatorTest, CloseDropsTheWorkingCopyAndOpeningRefills)
{
    type(window.motto, u"Retreat"_s);
    clickOn(members().nextButton());
    clickOn(scores().nextButton());
    type(window.score, u"x"_s); // not yet left: closing reports nothing
    click(u"&Close"_s);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(squad, kSquad);

    squad.members[0].name = u"Ada"_s;
    bool wasModal = false;
    QTimer::singleShot(0, &window, [&] {
        wasModal = QApplication::activeModalWidget() == &window;
        EXPECT_EQ(window.motto->text(), u"Onward");
        EXPECT_EQ(window.name->text(), u"Ada");
        EXPECT_EQ(members().counter().text(), u"Member 1/3");
        EXPECT_EQ(scores().counter().text(), u"#1/3");
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        type(window.name, u"Amy"_s);
        QTest::keyClick(window.name, Qt::Key_Escape);
    });
    window.edit();
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(squad.members[0].name, u"Ada");
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

#include "navigator_test.moc"
