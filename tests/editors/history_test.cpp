// Undo and redo of an editor's page changes, against a plain list that replays the changes
// that survive.

#include "controlpanel.h"
#include "doors.h"
#include "editorfixture.h"
#include "pageformats.h"

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

// A change as the history should hold it, with the record it leaves in the list.
struct Change
{
    enum Kind { Apply, Insert, Delete } kind;
    int position;
    QByteArray record;
    QByteArray name;
};

struct Pages
{
    QList<QByteArray> records;
    QList<QByteArray> names;

    void replay(const Change &change)
    {
        switch (change.kind) {
        case Change::Apply:
            records[change.position] = change.record;
            names[change.position] = change.name;
            break;
        case Change::Insert:
            records.insert(change.position, change.record);
            names.insert(change.position, change.name);
            break;
        case Change::Delete:
            records.remove(change.position);
            names.remove(change.position);
            break;
        }
    }
};

class EditorHistory : public KindEditorTest
{
protected:
    const PageFormat &format() const { return pageFormat(kind()); }
    QByteArray page(const QByteArray &name) const
    {
        PageBody body = PageBody::blank(format());
        body.values.field(format().nameItem) = name;
        return body.record(format());
    }
    QLineEdit *nameField() const { return editor->form().edit(format().nameItem); }
    // What the last change appended to the working file.
    QByteArray lastWritten() const
    {
        return splitRecords(readFile(workspace.workingFilePath(kind()))).constLast();
    }
    void load(const QList<QByteArray> &records)
    {
        writeFile(tablePath, table(records));
        workspace.load(tablePath);
        editor->reloadList();
    }
    QList<QByteArray> saved()
    {
        const QString out = dir.path(u"out.gam"_s);
        workspace.save(out);
        return splitRecords(readFile(out));
    }
    void press(QKeyCombination keys)
    {
        QTest::keyClick(&editor->pageList(), keys.key(), keys.keyboardModifiers());
    }

    QString tablePath = dir.path(u"table.gam"_s);
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
// would, at every step; a page shown is read again when an undo or redo touches it.
TEST_P(EditorHistory, EveryStepSavesTheTableItsSurvivingChangesBuild)
{
    const QByteArray before = texture("Stone"), after = awkwardPage(kind::door);
    Pages pages;
    pages.names = { "Alpha", "Bravo", "Charlie" };
    for (const QByteArray &name : std::as_const(pages.names))
        pages.records.append(page(name));
    load(QList<QByteArray> { before } + pages.records + QList<QByteArray> { after });
    const Pages initial = pages;

    QList<Change> done, undone;
    const auto made = [&](Change change) {
        pages.replay(change);
        done.append(std::move(change));
        undone.clear();
    };
    const QString exported = dir.path(u"page.ipf"_s);
    std::mt19937 random(20261207);
    const auto below = [&](int n) { return int(random() % unsigned(n)); };
    int named = 0;
    for (int step = 0; step < 240; ++step) {
        const int count = int(pages.records.size());
        const int position = count ? below(count) : -1;
        const int action = below(8);
        SCOPED_TRACE(testing::Message() << "step " << step << ", action " << action);
        if (action == 0 && count) {
            editor->selectPosition(position);
            const QByteArray name = "Page " + QByteArray::number(++named);
            nameField()->setText(QString::fromLatin1(name));
            editor->apply();
            made({ Change::Apply, position, lastWritten(), name });
        } else if (action == 1) {
            editor->add();
            made({ Change::Insert, count, lastWritten(), format().newPageName });
        } else if (action == 2 && count) {
            editor->selectPosition(position);
            editor->deletePage();
            made({ Change::Delete, position, {}, {} });
        } else if (action == 3 && count) {
            editor->selectPosition(position);
            editor->copy();
            editor->paste();
            made({ Change::Insert, count, lastWritten(), pages.names[position] });
        } else if (action == 4 && count) {
            editor->selectPosition(position);
            dialogs.fileAnswers = { exported, exported };
            editor->exportPage();
            editor->importPage();
            made({ Change::Insert, count, lastWritten(), pages.names[position] });
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
                pages.replay(change);
        } else if (action == 7) {
            ASSERT_EQ(editor->history().canRedo(), !undone.isEmpty());
            if (undone.isEmpty())
                continue;
            editor->pageList().setFocus();
            press(below(2) ? QKeyCombination(Qt::CTRL, Qt::Key_Y)
                           : QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z));
            done.append(undone.takeLast());
            pages.replay(done.constLast());
        }

        QList<QByteArray> expected = pages.records;
        for (QByteArray &record : expected)
            record[0] = char(kind());
        expected.prepend(before);
        expected.append(after);
        ASSERT_EQ(saved(), expected);
        QStringList names;
        for (int row = 0; row < editor->pageList().model()->rowCount(); ++row)
            names.append(editor->pageList().model()->index(row, 0).data().toString());
        QStringList expectedNames;
        for (const QByteArray &name : std::as_const(pages.names))
            expectedNames.append(QString::fromLatin1(name));
        ASSERT_EQ(names, expectedNames);
        if (const int shown = editor->shownPosition(); shown >= 0)
            ASSERT_EQ(nameField()->text(), expectedNames[shown]);
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(SoundsAndGenerics, EditorHistory,
                         testing::Values(editorOf(PageKind::Sound), editorOf(PageKind::Generic)),
                         kindName);

using PageHistoryMenu = EditorTest<DoorEditor>;

TEST_F(PageHistoryMenu, NamesEachChangeWhileEditFieldsKeepTheirOwnUndo)
{
    load({ named<testsupport::DoorPage>("Blast grate"), named<testsupport::DoorPage>("Hatch") });
    EXPECT_EQ(contextMenu(editor), QStringList({ u"Undo (off)"_s, u"Redo (off)"_s }));

    QLineEdit *name = editor.form().edit(pageFormat(PageKind::Door).nameItem);
    editor.selectPosition(1);
    name->setText(u"Laser"_s);
    editor.apply();
    editor.selectPosition(0);
    editor.deletePage();
    EXPECT_EQ(contextMenu(editor),
              QStringList({ u"Undo Delete \"Blast grate\""_s, u"Redo (off)"_s }));
    editor.history().undo();
    EXPECT_EQ(contextMenu(editor),
              QStringList({ u"Undo Apply \"Laser\""_s, u"Redo Delete \"Blast grate\""_s }));
    // The restored page is selected and shown.
    EXPECT_EQ(editor.shownPosition(), 0);
    EXPECT_EQ(name->text(), u"Blast grate");

    // In an edit field the keys undo typing, not the list's changes.
    editor.selectPosition(1);
    name->setFocus();
    QTest::keyClicks(name, u"X"_s);
    QTest::keyClick(name, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(name->text(), u"Laser");
    EXPECT_EQ(editor.history().count(), 2);
    EXPECT_EQ(editor.history().index(), 1);
    editor.pageList().setFocus();
    QTest::keyClick(&editor.pageList(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor.history().index(), 0);
    EXPECT_EQ(name->text(), u"Hatch");
    editor.add();
    EXPECT_EQ(contextMenu(editor), QStringList({ u"Undo Add \"New Door\""_s, u"Redo (off)"_s }));
}

// New and Load table file and a save over the loaded file begin a new history; a save to
// another file keeps it, since every record it names is still where it was.
TEST(PageHistory, OnlyANewTableEndsTheHistory)
{
    TempDir dir;
    ScriptedDialogs dialogs;
    ControlPanel panel { dir.path() + u'/', dialogs };
    PageEditor &sounds = *panel.editor(PageKind::Sound);
    const QString tablePath = dir.path(u"table.gam"_s);
    writeFile(tablePath, table({ sound("Hum"), sound("Laser") }));
    ASSERT_TRUE(panel.loadFile(tablePath));
    const auto change = [&] {
        sounds.selectPosition(1);
        sounds.deletePage();
        return sounds.history().canUndo();
    };

    ASSERT_TRUE(change());
    panel.saveTo(dir.path(u"other.gam"_s));
    EXPECT_TRUE(sounds.history().canUndo());
    sounds.history().undo();
    panel.saveTo(dir.path(u"other.gam"_s));
    EXPECT_EQ(splitRecords(readFile(dir.path(u"other.gam"_s))),
              QList<QByteArray>({ sound("Hum"), sound("Laser") }));

    ASSERT_TRUE(change());
    panel.saveTo(tablePath);
    EXPECT_FALSE(sounds.history().canUndo());
    EXPECT_FALSE(sounds.history().canRedo());

    sounds.add();
    ASSERT_TRUE(sounds.history().canUndo());
    panel.newTable();
    EXPECT_FALSE(sounds.history().canUndo());

    sounds.add();
    ASSERT_TRUE(panel.loadFile(tablePath));
    EXPECT_FALSE(sounds.history().canUndo());
    // A load that fails changes nothing, the history included.
    sounds.add();
    writeFile(dir.path(u"bad.gam"_s), "not a table");
    EXPECT_FALSE(panel.loadFile(dir.path(u"bad.gam"_s)));
    EXPECT_TRUE(sounds.history().canUndo());
}
