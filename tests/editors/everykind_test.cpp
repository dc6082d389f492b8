// What every kind's editor must do, one row per kind that has an editor.

#include "editorfixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QSet>
#include <QTest>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

using EveryEditor = KindEditorTest;

bool checkedInsert(QSet<QChar> &set, QChar key)
{
    if (set.contains(key))
        return false;
    set.insert(key);
    return true;
}

} // namespace

// Floats that are not four-digit exact, long texts, bits and codes without an item, bytes after
// the body: none of it may change when the user changed nothing.
TEST_P(EveryEditor, SelectThenApplyCopyOrExportWithoutEditsIsByteIdentical)
{
    QByteArray awkward = awkwardPage(quint8(kind()));
    ASSERT_FALSE(awkward.isEmpty()) << "every kind with an editor needs its awkward page";
    awkward = recordWithLength(awkward[0], quint32(awkward.size() + 3), awkward.sliced(5) + QByteArray("\1\0\xff\x7f", 4));
    load({ awkward });
    editor->selectPosition(0);
    EXPECT_FALSE(editor->isChanged());

    editor->apply();
    EXPECT_EQ(lastWritten(), awkward);
    editor->copy();
    EXPECT_EQ(readFile(workspace.filePath(WorkspaceFile::clipboard)), awkward);
    const QString exported = dir.path(u"page.out"_s);
    dialogs.fileAnswers = { exported };
    editor->exportPage();
    EXPECT_EQ(readFile(exported), awkward);
    // Applied twice, still the same.
    editor->apply();
    EXPECT_EQ(lastWritten(), awkward);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

// After the warning about a page of another version, the controls still show the page before:
// nothing may put those values in the unread page's place or pass them off as it.
TEST_P(EveryEditor, APageThatWasNotReadIsNeitherAppliedNorCopied)
{
    const QByteArray readable = awkwardPage(quint8(kind()));
    QByteArray foreign = page("Foreign");
    foreign[5] = char(foreign[5] + 1); // the version's low byte
    load({ readable });
    editor->selectPosition(0);
    // The loader leaves such pages out; a paste brings one in, and selects it.
    const QString clipboard = workspace.filePath(WorkspaceFile::clipboard);
    writeFile(clipboard, foreign);
    editor->paste();
    EXPECT_EQ(editor->selectedPosition(), 1);
    EXPECT_EQ(editor->pageList().model()->index(1, 0).data().toString(), QString()); // unnamed
    const QStringList warned = dialogs.takeMessages();
    ASSERT_EQ(warned.size(), 1);
    EXPECT_TRUE(warned[0].startsWith(u"Warning: This page uses a different version of the "_s))
        << warned[0].toStdString();

    editor->apply();
    editor->copy();
    dialogs.fileAnswers = { dir.path(u"page.out"_s) };
    editor->exportPage();
    EXPECT_EQ(readFile(clipboard), foreign);
    EXPECT_FALSE(QFileInfo::exists(dir.path(u"page.out"_s)));
    EXPECT_EQ(saved(), QList<QByteArray>({ readable, foreign }));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

// Two buttons with one mnemonic make Qt press neither.
TEST_P(EveryEditor, EachMnemonicPressesOneButton)
{
    QSet<QChar> used;
    for (const QAbstractButton *button : editor->findChildren<QAbstractButton *>()) {
        if (button->window() != editor.get())
            continue; // a settings window's
        const qsizetype at = button->text().indexOf(u'&');
        if (at >= 0 && at + 1 < button->text().size()) {
            EXPECT_TRUE(checkedInsert(used, button->text().at(at + 1).toLower()))
                << button->text().toStdString();
        }
    }
}

// A screen reader names a field by the label whose buddy it is: its caption.
TEST_P(EveryEditor, EveryFieldIsTheBuddyOfItsCaption)
{
    const FieldForm &form = editor->form();
    const Layout &layout = *format().layout;
    for (int i = 0; i < layout.size(); ++i) {
        if (layout[i].sort != Item::Sort::Field)
            continue;
        QWidget *control = form.edit(i);
        if (!control)
            control =
                form.checkList(i) ? static_cast<QWidget *>(form.checkList(i)) : form.choice(i);
        const QLabel *caption = form.caption(i);
        ASSERT_TRUE(caption && control) << layout[i].field.caption;
        EXPECT_EQ(caption->text(), QString::fromLatin1(layout[i].field.caption));
        EXPECT_EQ(caption->buddy(), control) << layout[i].field.caption;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKind, EveryEditor,
                         testing::ValuesIn(kindEditors().begin(), kindEditors().end()), kindName);
