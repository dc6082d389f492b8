// What every kind's editor must do, one row per kind that has an editor.

#include "editorfixture.h"
#include "pageformats.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QSet>
#include <QTest>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

class EveryEditor : public KindEditorTest
{
protected:
    QByteArray workingRecord(int fromEnd = 0) const
    {
        const QList<QByteArray> records = splitRecords(readFile(workspace.workingFilePath(kind())));
        return records.value(records.size() - 1 - fromEnd);
    }
};

bool checkedInsert(QSet<QChar> &set, QChar key)
{
    if (set.contains(key))
        return false;
    set.insert(key);
    return true;
}

} // namespace

// Floats that are not four-digit exact, long texts, bits and codes without an item: none of
// it may change when the user changed nothing.
TEST_P(EveryEditor, SelectThenApplyCopyOrExportWithoutEditsIsByteIdentical)
{
    const QByteArray awkward = awkwardPage(quint8(kind()));
    ASSERT_FALSE(awkward.isEmpty()) << "every kind with an editor needs its awkward page";
    writeFile(dir.path(u"table.gam"_s), table({ awkward }));
    workspace.load(dir.path(u"table.gam"_s));
    editor->reloadList();
    editor->selectPosition(0);

    editor->apply();
    EXPECT_EQ(workingRecord(), awkward);
    editor->copy();
    EXPECT_EQ(readFile(workspace.filePath(WorkspaceFile::clipboard)), awkward);
    const QString exported = dir.path(u"page.out"_s);
    dialogs.fileAnswers = { exported };
    editor->exportPage();
    EXPECT_EQ(readFile(exported), awkward);
    // Applied twice, still the same.
    editor->apply();
    EXPECT_EQ(workingRecord(), awkward);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

// After the warning about a page of another version, the controls still show the page before:
// nothing may put those values in the unread page's place or pass them off as it.
TEST_P(EveryEditor, APageThatWasNotReadIsNeitherAppliedNorCopied)
{
    const PageFormat &format = pageFormat(kind());
    const QByteArray readable = awkwardPage(quint8(kind()));
    PageBody other = PageBody::blank(format);
    other.values.field(format.nameItem) = QByteArray("Foreign");
    QByteArray foreign = other.record(format);
    foreign[5] = char(foreign[5] + 1); // the version's low byte
    writeFile(dir.path(u"table.gam"_s), table({ readable }));
    workspace.load(dir.path(u"table.gam"_s));
    editor->reloadList();
    editor->selectPosition(0);
    // The loader leaves such pages out; a paste brings one in, and selects it.
    const QString clipboard = workspace.filePath(WorkspaceFile::clipboard);
    writeFile(clipboard, foreign);
    editor->paste();
    EXPECT_EQ(editor->selectedPosition(), 1);
    EXPECT_EQ(dialogs.takeMessages().size(), 1);

    editor->apply();
    editor->copy();
    dialogs.fileAnswers = { dir.path(u"page.out"_s) };
    editor->exportPage();
    EXPECT_EQ(readFile(clipboard), foreign);
    EXPECT_FALSE(QFileInfo::exists(dir.path(u"page.out"_s)));
    const QString saved = dir.path(u"saved.gam"_s);
    workspace.save(saved);
    EXPECT_EQ(splitRecords(readFile(saved)), QList<QByteArray>({ readable, foreign }));
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

// Delete moves the later pages of the kind up and nothing else; Add appends a kind's new page;
// a clipboard that holds a page of another kind is passed over.
TEST_P(EveryEditor, DeleteAddAndPasteTouchOnlyTheirKind)
{
    const PageFormat &format = pageFormat(kind());
    const auto page = [&](const char *name) {
        PageBody body = PageBody::blank(format);
        body.values.field(format.nameItem) = QByteArray(name);
        return body.record(format);
    };
    const PageKind otherKind = kind() == PageKind::Weapon ? PageKind::Sound : PageKind::Weapon;
    const QByteArray other = awkwardPage(quint8(otherKind));
    writeFile(dir.path(u"table.gam"_s),
              table({ page("Alpha"), other, page("Bravo"), page("Charlie"), other }));
    workspace.load(dir.path(u"table.gam"_s));
    editor->reloadList();

    editor->selectPosition(0);
    editor->deletePage();
    editor->add();
    EXPECT_EQ(editor->selectedPosition(), 2);
    writeFile(workspace.filePath(WorkspaceFile::clipboard), other);
    editor->paste();
    const QString saved = dir.path(u"saved.gam"_s);
    workspace.save(saved);
    QList<QByteArray> kindRecords, otherRecords;
    for (const QByteArray &record : splitRecords(readFile(saved))) {
        if (record.at(0) == char(kind()))
            kindRecords.append(record);
        else if (record.at(0) == char(otherKind))
            otherRecords.append(record);
    }
    EXPECT_EQ(kindRecords,
              QList<QByteArray>(
                  { page("Bravo"), page("Charlie"), PageBody::blank(format).record(format) }));
    EXPECT_EQ(otherRecords, QList<QByteArray>({ other, other }));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(EveryKind, EveryEditor,
                         testing::ValuesIn(kindEditors().begin(), kindEditors().end()), kindName);
