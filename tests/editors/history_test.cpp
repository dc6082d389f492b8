// Undo and redo of an editor's page changes, against a plain list that replays the changes
// that survive.

#include "doors.h"
#include "editorfixture.h"

#include <QAction>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QUndoStack>

#include <random>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

struct Page
{
    QByteArray record, name;
};

// A change as the history should hold it, with the page it leaves in the list.
struct Change
{
    enum Kind { Apply, Insert, Delete } kind;
    int position;
    Page page;

    void replay(QList<Page> &pages) const
    {
        if (kind == Apply)
            pages[position] = page;
        else if (kind == Insert)
            pages.insert(position, page);
        else
            pages.remove(position);
    }
};

class EditorHistory : public KindEditorTest
{
protected:
    QLineEdit *nameField() const { return editor->form().edit(format().nameItem); }
    void press(QKeyCombination keys)
    {
        QTest::keyClick(&editor->pageList(), keys.key(), keys.keyboardModifiers());
    }
};

// The texts of the page list's context menu, as it pops up.
QStringList contextMenu(PageEditor &editor)
{
    QListView &list = editor.pageList();
    emit list.customContextMenuRequested(list.viewport()->rect().center());
    auto *menu = list.findChild<QMenu *>();
    if (!menu || !menu->isVisible())
        return { u"no menu"_s };
    QStringList texts;
    for (const QAction *action : menu->actions())
        texts.append(action->text() + (action->isEnabled() ? u""_s : u" (off)"_s));
    menu->hide();
    editor.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&editor));
    return texts;
}

} // namespace

// Any mix of changes, undos and redos leaves the table as replaying the changes that survive
// would, at every step; a page shown is read again when an undo or redo touches it. Delete
// moves the later pages up; Add appends the kind's new page.
TEST_P(EditorHistory, EveryStepSavesTheTableItsSurvivingChangesBuild)
{
    // Pages of another kind around the kind's, which no change may touch, nor a paste of one.
    const QByteArray other =
        awkwardPage(quint8(kind() == PageKind::Weapon ? PageKind::Sound : PageKind::Weapon));
    QList<Page> pages;
    for (const char *name : { "Alpha", "Bravo", "Charlie" })
        pages.append({ page(name), name });
    load({ other, pages[0].record, pages[1].record, pages[2].record, other });
    const QList<Page> initial = pages;
    writeFile(workspace.filePath(WorkspaceFile::clipboard), other);
    editor->paste();

    QList<Change> done, undone;
    const auto made = [&](Change change) {
        change.replay(pages);
        done.append(std::move(change));
        undone.clear();
    };
    const QString exported = dir.path(u"page.ipf"_s);
    std::mt19937 random(20261207);
    const auto below = [&](int n) { return int(random() % unsigned(n)); };
    int named = 0;
    for (int step = 0; step < 240; ++step) {
        const int count = int(pages.size());
        const int position = count ? below(count) : -1;
        const int action = below(8);
        SCOPED_TRACE(testing::Message() << "step " << step << ", action " << action);
        if (action == 0 && count) {
            editor->selectPosition(position);
            const QByteArray name = "Page " + QByteArray::number(++named);
            nameField()->setText(QString::fromLatin1(name));
            editor->apply();
            made({ Change::Apply, position, { lastWritten(), name } });
        } else if (action == 1) {
            editor->add();
            ASSERT_EQ(editor->selectedPosition(), count);
            ASSERT_EQ(lastWritten(), page(format().newPageName));
            made({ Change::Insert, count, { lastWritten(), format().newPageName } });
        } else if (action == 2 && count) {
            editor->selectPosition(position);
            editor->deletePage();
            made({ Change::Delete, position, {} });
        } else if (action == 3 && count) {
            editor->selectPosition(position);
            editor->copy();
            editor->paste();
            made({ Change::Insert, count, { lastWritten(), pages[position].name } });
        } else if (action == 4 && count) {
            editor->selectPosition(position);
            dialogs.fileAnswers = { exported, exported };
            editor->exportPage();
            editor->importPage();
            made({ Change::Insert, count, { lastWritten(), pages[position].name } });
        } else if (action == 5 || action == 6) {
            // Undo, by the list's keys or its menu's action.
            ASSERT_EQ(editor->history().canUndo(), !done.isEmpty());
            if (done.isEmpty())
                continue;
            editor->pageList().setFocus();
            if (action == 5)
                press(QKeyCombination(Qt::CTRL, Qt::Key_Z));
            else
                editor->history().undo();
            undone.append(done.takeLast());
            pages = initial;
            for (const Change &change : std::as_const(done))
                change.replay(pages);
        } else if (action == 7) {
            ASSERT_EQ(editor->history().canRedo(), !undone.isEmpty());
            if (undone.isEmpty())
                continue;
            editor->pageList().setFocus();
            press(below(2) ? QKeyCombination(Qt::CTRL, Qt::Key_Y)
                           : QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z));
            done.append(undone.takeLast());
            done.constLast().replay(pages);
        }

        QList<QByteArray> expected, kindRecords, others;
        QStringList names, expectedNames;
        for (const Page &listed : std::as_const(pages)) {
            expected.append(listed.record);
            expectedNames.append(QString::fromLatin1(listed.name));
        }
        for (const QByteArray &record : saved())
            (record.at(0) == char(kind()) ? kindRecords : others).append(record);
        ASSERT_EQ(kindRecords, expected);
        ASSERT_EQ(others, QList<QByteArray>({ other, other }));
        for (int row = 0; row < editor->pageList().model()->rowCount(); ++row)
            names.append(editor->pageList().model()->index(row, 0).data().toString());
        ASSERT_EQ(names, expectedNames);
        if (const int shown = editor->shownPosition(); shown >= 0) {
            ASSERT_EQ(nameField()->text(), expectedNames[shown]);
        }
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(EveryKind, EditorHistory,
                         testing::ValuesIn(kindEditors().begin(), kindEditors().end()), kindName);

using PageHistoryMenu = EditorTest<DoorEditor>;

TEST_F(PageHistoryMenu, NamesEachChangeWhileEditFieldsKeepTheirOwnUndo)
{
    load({ named<testsupport::DoorPage>("Blast grate"), named<testsupport::DoorPage>("Hatch") });
    EXPECT_EQ(contextMenu(editor), QStringList({ u"Undo (off)"_s, u"Redo (off)"_s }));

    QLineEdit *name = editor.form().edit(pageFormat(PageKind::Door).nameItem);
    editor.selectPosition(1);
    name->setText(u"Laser \u20ac"_s);
    editor.apply();
    editor.selectPosition(0);
    editor.deletePage();
    EXPECT_EQ(contextMenu(editor),
              QStringList({ u"Undo Delete \"Blast grate\""_s, u"Redo (off)"_s }));
    editor.history().undo();
    EXPECT_EQ(contextMenu(editor),
              QStringList({ u"Undo Apply \"Laser \u20ac\""_s, u"Redo Delete \"Blast grate\""_s }));
    // The restored page is selected and shown.
    EXPECT_EQ(editor.shownPosition(), 0);
    EXPECT_EQ(name->text(), u"Blast grate");

    // In an edit field the keys undo typing, not the list's changes.
    editor.selectPosition(1);
    name->setFocus();
    QTest::keyClicks(name, u"X"_s);
    QTest::keyClick(name, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(name->text(), u"Laser \u20ac");
    EXPECT_EQ(editor.history().count(), 2);
    EXPECT_EQ(editor.history().index(), 1);
    editor.pageList().setFocus();
    QTest::keyClick(&editor.pageList(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor.history().index(), 0);
    EXPECT_EQ(name->text(), u"Hatch");
    editor.add();
    EXPECT_EQ(contextMenu(editor), QStringList({ u"Undo Add \"New Door\""_s, u"Redo (off)"_s }));
}
