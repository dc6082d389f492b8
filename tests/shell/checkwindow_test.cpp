#include "checkwindow.h"

#include "check.h"
#include "controlpanel.h"
#include "doorpage.h"
#include "editorfixture.h"
#include "fieldform.h"
#include "main.h"
#include "pageeditor.h"
#include "scripteddialogs.h"
#include "tablebuilder.h"
#include "testhelpers.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

// Kind, page, field and problem of each finding, as the window's rows show them.
QStringList rowsOf(const QList<Finding> &findings)
{
    QStringList rows;
    for (const Finding &finding : findings)
        rows.append(QStringList({ finding.kind, QString::fromLatin1(finding.name), finding.field,
                                  finding.problem })
                        .join(u" | "_s));
    return rows;
}

class CheckWindowTest : public testing::Test
{
protected:
    CheckWindowTest()
    {
        panel.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&panel.mainWindow()));
    }

    CheckWindow &window() { return panel.checkWindow(); }
    QTreeWidget &list() { return window().findingList(); }
    PageEditor &doors() { return *panel.editor(PageKind::Door); }

    void load(const QList<QByteArray> &records)
    {
        writeFile(tablePath, table(records));
        ASSERT_TRUE(panel.loadFile(tablePath));
    }

    void openFromTheMenu()
    {
        panel.mainWindow().mainMenu().findChild<QAction *>(u"Checktable1"_s)->trigger();
    }

    QStringList shownRows()
    {
        QStringList rows;
        for (int row = 0; row < list().topLevelItemCount(); ++row) {
            QStringList columns;
            for (int column = 0; column < list().columnCount(); ++column)
                columns.append(list().topLevelItem(row)->text(column));
            rows.append(columns.join(u" | "_s));
        }
        return rows;
    }

    // What the check finds in the file a save writes now.
    QList<Finding> findingsOfTheSavedTable()
    {
        const QString saved = dir.path(u"saved.gam"_s);
        panel.workspace().save(saved);
        return checkTable(readFile(saved));
    }

    void doubleClick(int row)
    {
        QTreeWidgetItem *item = list().topLevelItem(row);
        ASSERT_TRUE(item);
        const QPoint at = list().visualItemRect(item).center();
        QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list().viewport(), Qt::LeftButton, {}, at);
    }

    TempDir dir;
    QString tablePath = dir.path(u"table.gam"_s);
    ScriptedDialogs dialogs;
    ControlPanel panel { dir.path() + u'/', dialogs };
};

testsupport::DoorPage door(const QByteArray &name, const QByteArray &openSound,
                           const QByteArray &closeSound = {})
{
    testsupport::DoorPage page;
    page.name = name;
    page.openSound = openSound;
    page.closeSound = closeSound;
    return page;
}

} // namespace

TEST_F(CheckWindowTest, ItsRowsAreWhatCheckFindsInTheTableASaveWouldWrite)
{
    // Right after Save table file, before the separator, on a letter of its own.
    QStringList menu;
    for (const QAction *action : panel.mainWindow().mainMenu().actions())
        menu.append(action->isSeparator() ? u"-"_s : action->text());
    EXPECT_EQ(menu.mid(0, 5),
              QStringList({ u"&New table file"_s, u"&Load table file..."_s,
                            u"&Save table file..."_s, u"Check &table"_s, u"-"_s }));
    QStringList letters;
    for (const QString &text : std::as_const(menu))
        if (const qsizetype amp = text.indexOf(u'&'); amp >= 0)
            letters.append(text.mid(amp + 1, 1).toLower());
    EXPECT_EQ(letters.removeDuplicates(), 0) << letters.join(u' ').toStdString();

    load({ sound("Hum"), sound("Zap"), sound("Hum"), door("Gate", "Gone").record(),
           door("Arch", "Hum", "Zap").record(), texture("Rock") });
    // An edit not yet saved that breaks a reference.
    doors().selectPosition(0); // Arch
    doors().form().edit(::DoorPage::CloseSound)->setText(u"Missing"_s);
    doors().apply();

    QStringList rows;
    QString summary;
    bool modalAndFixed = false;
    EXPECT_TRUE(inModal(
        window(), [&] { openFromTheMenu(); },
        [&] {
            rows = shownRows();
            summary = window().summary().text();
            modalAndFixed = window().minimumSize() == window().size() &&
                window().maximumSize() == window().size();
            // The keyboard starts on the first row, where Enter opens its page.
            EXPECT_EQ(QApplication::focusWidget(), &list());
            EXPECT_EQ(window().currentRow(), 0);
            list().setCurrentItem(list().topLevelItem(2));
        }));
    const QList<Finding> expected = findingsOfTheSavedTable();
    EXPECT_EQ(rows, rowsOf(expected));
    EXPECT_TRUE(rows.contains(u"door | Arch | close_sound | names no sound page \"Missing\""_s));
    EXPECT_TRUE(rows.contains(u"door | Gate | open_sound | names no sound page \"Gone\""_s));
    EXPECT_TRUE(summary.startsWith(u"%1 problems found."_s.arg(expected.size())))
        << summary.toStdString();
    EXPECT_TRUE(modalAndFixed);
    EXPECT_TRUE(dialogs.takeMessages().isEmpty());

    // Check again: the pages as they are then, the current row kept. Zap becomes Gone.
    EXPECT_TRUE(inModal(
        window(), [&] { openFromTheMenu(); },
        [&] {
            EXPECT_EQ(window().currentRow(), 0); // a new check starts at the top
            list().setCurrentItem(list().topLevelItem(1));
            panel.workspace().applyPage(PageKind::Sound, 2, sound("Gone"), "Gone");
            QTest::mouseClick(&window().checkAgainButton(), Qt::LeftButton);
            rows = shownRows();
            EXPECT_EQ(rows.size(), 2);
            EXPECT_EQ(window().currentRow(), 1);
        }));
    EXPECT_EQ(rows, rowsOf(findingsOfTheSavedTable()));
    EXPECT_FALSE(rows.contains(u"door | Gate | open_sound | names no sound page \"Gone\""_s));
}

// A page not the first of its kind, after a pasted page of another version that the list holds
// but a finding's position does not count.
TEST_F(CheckWindowTest, ARowOpensItsPageInItsEditorAndTheCheckRunsAgainWhenItCloses)
{
    testsupport::DoorPage older = door("Older", "Gone");
    older.version = 2;
    load({ sound("Hum"), door("Arch", "Hum").record(), door("Gate", "Gone").record() });
    panel.workspace().addPage(PageKind::Door, older.record(), "Older");
    panel.workspace().addPage(PageKind::Door, door("Hatch", "Hum", "Lost").record(), "Hatch");
    doors().reloadList();
    ASSERT_EQ(panel.workspace().pageNames(PageKind::Door),
              QList<QByteArray>({ "Arch", "Gate", "Older", "Hatch" }));

    const auto rowOf = [&](const QString &page) {
        for (int row = 0; row < list().topLevelItemCount(); ++row)
            if (list().topLevelItem(row)->text(1) == page)
                return row;
        ADD_FAILURE() << "no row for " << page.toStdString();
        return 0;
    };
    EXPECT_TRUE(inModal(
        window(), [&] { openFromTheMenu(); },
        [&] {
            ASSERT_EQ(shownRows(), rowsOf(findingsOfTheSavedTable()));
            const int rows = list().topLevelItemCount();
            ASSERT_EQ(rows, 3); // Gate, Older and Hatch

            // Double-click: the door editor, Hatch selected and shown though a filter left
            // there hid it; fixed there, its row goes.
            doors().filterField().setText(u"Arch"_s);
            int selected = -1;
            QString filter;
            const int hatch = rowOf(u"Hatch"_s);
            EXPECT_TRUE(inModal(
                doors(), [&] { doubleClick(hatch); },
                [&] {
                    selected = doors().selectedPosition();
                    filter = doors().filterField().text();
                    doors().form().edit(::DoorPage::CloseSound)->setText(u"Hum"_s);
                    doors().apply();
                }));
            EXPECT_EQ(selected, 3);
            EXPECT_EQ(filter, QString());
            EXPECT_EQ(shownRows(), rowsOf(findingsOfTheSavedTable()));
            EXPECT_EQ(list().topLevelItemCount(), rows - 1);
            EXPECT_EQ(window().currentRow(),
                      qMin(hatch, rows - 2)); // where it was, within the rows

            // Enter: Gate, the second door.
            list().setCurrentItem(list().topLevelItem(rowOf(u"Gate"_s)));
            list().setFocus();
            EXPECT_TRUE(inModal(
                doors(), [&] { QTest::keyClick(&list(), Qt::Key_Return); },
                [&] { selected = doors().selectedPosition(); }));
            EXPECT_EQ(selected, 1);

            // The program does not read a page of another version: no editor opens for it.
            const int olderRow = rowOf(u"Older"_s);
            EXPECT_FALSE(inModal(
                doors(), [&] { doubleClick(olderRow); }, [] {}));
            EXPECT_TRUE(
                list().topLevelItem(olderRow)->toolTip(3).contains(u"cannot read this page"_s));
            EXPECT_TRUE(window().isVisible());
        }));
    EXPECT_TRUE(dialogs.takeMessages().isEmpty());
}

TEST_F(CheckWindowTest, SaysSoWhenItFindsNothingAndShowsNothingWhenTheTableCannotBeRead)
{
    const auto check = [&] {
        QString summary;
        EXPECT_TRUE(inModal(
            window(), [&] { openFromTheMenu(); },
            [&] {
                EXPECT_EQ(list().topLevelItemCount(), 0);
                summary = window().summary().text();
            }));
        return summary;
    };
    EXPECT_EQ(check(), u"No problems found."); // no pages at all
    load({ sound("Hum"), door("Gate", "Hum", "Hum").record(), texture("Rock") });
    ASSERT_TRUE(findingsOfTheSavedTable().isEmpty());
    EXPECT_EQ(check(), u"No problems found.");

    // The loaded file changed on disk: the standard error box, and no window.
    load({ sound("Hum"), door("Gate", "Gone").record() });
    writeFile(tablePath, table({ sound("Other") }));
    EXPECT_FALSE(inModal(
        window(), [&] { openFromTheMenu(); }, [] {}));
    QStringList messages = dialogs.takeMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(u"VK Control Panel: The table file"_s))
        << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains(u"has changed since it was loaded"_s));

    // Changed while the window is open: Check again says so and closes the window, whose
    // findings would lead to the wrong pages.
    load({ sound("Hum"), door("Gate", "Gone").record() });
    bool closed = false;
    EXPECT_TRUE(inModal(
        window(), [&] { openFromTheMenu(); },
        [&] {
            EXPECT_EQ(list().topLevelItemCount(), 1);
            writeFile(tablePath, table({ sound("Other") }));
            QTest::mouseClick(&window().checkAgainButton(), Qt::LeftButton);
            closed = !window().isVisible();
        }));
    EXPECT_TRUE(closed);
    messages = dialogs.takeMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(u"has changed since it was loaded"_s));
}
