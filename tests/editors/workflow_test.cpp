// The page editor workflow, on the sound editor: every kind's editor runs the same code.

#include "sounds.h"

#include "editorfixture.h"
#include "pagefilter.h"
#include "soundpage.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStringListModel>
#include <QUndoStack>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

class SoundWorkflow : public EditorTest<SoundEditor>
{
protected:
    QAbstractItemModel *model() const { return editor.pageList().model(); }
    // The window's shortcut, pressed with the focus at a widget of the window.
    void press(Qt::Key key, QWidget *at = nullptr)
    {
        QTest::keyClick(at ? at : &editor, key, Qt::ControlModifier);
    }
    QString clipboard() const { return workspace.filePath(WorkspaceFile::clipboard); }
    QLineEdit &filter() const { return editor.filterField(); }
    // Selects a row as the user does, by clicking it.
    void clickRow(int row)
    {
        QListView &list = editor.pageList();
        const QRect place = list.visualRect(list.model()->index(row, 0));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, place.center());
    }
};

QByteArray loud(const QByteArray &name, int loopStart)
{
    testsupport::SoundPage page;
    page.name = name;
    page.loopStart = loopStart;
    return page.record();
}

} // namespace

TEST_F(SoundWorkflow, CopyThenPasteTwiceAddsTwoPagesWithTheClipboardsName)
{
    load({ sound("Laser", 300) });
    editor.selectPosition(0);
    setField(SoundPage::MinDistance, u"2.5"_s); // Copy writes the controls, not the stored page
    // The shortcuts act on the window even in an edit field, which has its own Ctrl+C / Ctrl+V.
    QLineEdit *name = field(SoundPage::Name);
    name->setFocus();
    press(Qt::Key_C, name);
    dialogs.answers = { UserDialogs::Answer::Discard }; // the page typed in stays as stored
    press(Qt::Key_V, name);
    press(Qt::Key_V);
    EXPECT_EQ(listTexts(), QStringList({ u"Laser"_s, u"Laser"_s, u"Laser"_s }));
    EXPECT_EQ(editor.selectedPosition(), 2);

    testsupport::SoundPage copied;
    copied.name = "Laser";
    copied.maxDistance = 300;
    copied.minDistance = 2.5f;
    EXPECT_EQ(saved(),
              QList<QByteArray>({ sound("Laser", 300), copied.record(), copied.record() }));

    // Also in a field a kind adds after the workflow is built.
    QFile::remove(clipboard());
    auto *later = new QLineEdit(&editor);
    later->show();
    later->setFocus();
    press(Qt::Key_C, later);
    EXPECT_EQ(readFile(clipboard()), copied.record());
}

// Export proposes where the last export went and the page's name, or none, so that Enter
// cannot replace the last export with another page; import offers the file last chosen. A
// round trip leaves the clipboard alone; a target that is not a regular file is refused.
TEST_F(SoundWorkflow, ExportAndImportProposeTheUsersLastFileAndLeaveTheClipboardAlone)
{
    load({ sound("Laser", 12), sound("") });
    writeFile(clipboard(), sound("On the clipboard"));
    const QString laser = dir.path(u"laser.isp"_s);
    editor.selectPosition(1);
    dialogs.fileAnswers = { laser };
    press(Qt::Key_E, field(SoundPage::Name));
    editor.selectPosition(0);
    press(Qt::Key_E); // cancelled
    press(Qt::Key_I); // cancelled
    ASSERT_EQ(dialogs.fileRequests.size(), 3);
    const FileDialogStart named = fileDialogStart(dialogs.fileRequests[0], laser);
    EXPECT_EQ(named.directory, QDir(dir.path()).absolutePath());
    EXPECT_EQ(named.fileName, u"Laser");
    EXPECT_EQ(fileDialogStart(dialogs.fileRequests[1], laser).fileName, QString());
    EXPECT_EQ(fileDialogStart(dialogs.fileRequests[2], laser).fileName, u"laser.isp");
    EXPECT_EQ(listTexts().size(), 2);

    dialogs.fileAnswers = { laser };
    press(Qt::Key_I);
    EXPECT_EQ(readFile(laser), sound("Laser", 12)); // the user's file stays where it was
    EXPECT_EQ(readFile(clipboard()), sound("On the clipboard"));
    EXPECT_EQ(saved(), QList<QByteArray>({ sound(""), sound("Laser", 12), sound("Laser", 12) }));
    EXPECT_TRUE(dialogs.messages.isEmpty());

    dialogs.fileAnswers = { dir.path() };
    press(Qt::Key_E);
    EXPECT_EQ(
        dialogs.takeMessages(),
        QStringList({ u"VK Control Panel: Cannot save to \"%1\": it is not a regular file."_s.arg(
            dir.path()) }));
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
}

TEST_F(SoundWorkflow, FailedApplyOrCopyWritesNothing)
{
    load({ sound("Laser") });
    editor.selectPosition(0);
    writeFile(clipboard(), sound("Kept"));
    setField(SoundPage::LoopEnd, u"12abc"_s);
    click(u"&Apply"_s);
    EXPECT_EQ(dialogs.takeMessages(),
              QStringList({ u"VK Control Panel: '12abc' is not a valid integer value."_s }));
    press(Qt::Key_C);
    EXPECT_EQ(dialogs.takeMessages().size(), 1);
    EXPECT_FALSE(QFile::exists(workspace.workingFilePath(PageKind::Sound)));
    EXPECT_EQ(readFile(clipboard()), sound("Kept"));
    EXPECT_EQ(saved(), QList<QByteArray>({ sound("Laser") }));
}

// Flags without an item and unchanged values are covered for every kind; here, what is shown
// differs from what is stored.
TEST_F(SoundWorkflow, ShownRoundedOrLongButWrittenAsTyped)
{
    const QByteArray longName(40, 'L');
    load({ sound("Hum", 123.456f), sound(longName) });
    ASSERT_EQ(listTexts()[1], QString::fromLatin1(longName)); // listed in full until selected

    editor.selectPosition(0);
    EXPECT_EQ(field(SoundPage::MaxDistance)->text(), u"123.5");
    setField(SoundPage::MaxDistance, u"123.4"_s);
    click(u"&Apply"_s);
    EXPECT_EQ(saved()[0], sound("Hum", 123.4f));

    editor.selectPosition(1);
    EXPECT_EQ(field(SoundPage::Name)->text(), QString::fromLatin1(longName)); // shown whole
    setField(SoundPage::Name, u"M"_s + QString(39, u'L')); // one letter changed keeps the rest
    click(u"&Apply"_s);
    EXPECT_EQ(listTexts()[1], u"M"_s + QString(39, u'L'));
    EXPECT_EQ(saved()[1], sound("M" + QByteArray(39, 'L')));
}

TEST_F(SoundWorkflow, HoverHelpShowsTheHintOfLabelsAndButtons)
{
    QPlainTextEdit &memo = editor.helpMemo();
    const auto hover = [](QWidget *widget) { QTest::mouseMove(widget, widget->rect().center()); };
    hover(editor.form().caption(SoundPage::ImportAdjust));
    EXPECT_EQ(memo.toPlainText(),
              u"Percentage of original .WAV file sound volume to use when loading the sound.");
    hover(button(u"&Close"_s));
    EXPECT_EQ(memo.toPlainText(), u"Close the sound dialog.");
    hover(field(SoundPage::Name)); // edit fields have no help
    EXPECT_EQ(memo.toPlainText(), u"Close the sound dialog.");
    QTest::mouseMove(&editor, { 2, 2 }); // the window background
    EXPECT_EQ(memo.toPlainText(), u"");

    // The help leaves the moves to the field it explains: a drag selects in the filter.
    QLineEdit &filter = editor.filterField();
    filter.setText(u"laser"_s);
    const int middle = filter.height() / 2;
    QTest::mousePress(&filter, Qt::LeftButton, {}, { 2, middle });
    QTest::mouseMove(&filter, { filter.width() - 2, middle });
    QTest::mouseRelease(&filter, Qt::LeftButton, {}, { filter.width() - 2, middle });
    EXPECT_EQ(filter.selectedText(), u"laser");
}

// An import of a damaged file or of another kind's page adds nothing, nor does an Add, Paste
// or Import whose record cannot be written; list and model stay in step throughout.
TEST_F(SoundWorkflow, AFailedAddPasteOrImportAddsNothing)
{
    // A model out of step with its list ends the test.
    QAbstractItemModelTester tester(model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    load({ sound("Laser"), sound("Hum") });
    QSignalSpy announced(model(), &QAbstractItemModel::rowsAboutToBeInserted);
    QSignalSpy inserted(model(), &QAbstractItemModel::rowsInserted);
    const QString page = dir.path(u"page.isp"_s);
    const auto importFile = [&](const QByteArray &content) {
        writeFile(page, content);
        dialogs.fileAnswers = { page };
        press(Qt::Key_I);
        return dialogs.takeMessages();
    };
    const QString damaged =
        u"VK Control Panel: The page file \"%1\" is damaged: its record "_s.arg(page);
    EXPECT_EQ(importFile(texture("Wall")), QStringList()); // another kind: passed over
    const QByteArray whole = sound("Cut");
    EXPECT_EQ(importFile(whole.left(whole.size() - 1)),
              QStringList({ damaged + u"runs past the end of the file."_s }));
    EXPECT_EQ(importFile(recordWithLength(kind::sound, 5, Bytes().u16(1))),
              QStringList({ damaged + u"has an impossible length of 5 bytes."_s }));
    EXPECT_FALSE(QFile::exists(workspace.workingFilePath(PageKind::Sound)));
    writeFile(page, sound("Imported"));
    writeFile(clipboard(), sound("Pasted"));

    const auto addPasteAndImport = [&] {
        click(u"Add"_s);
        press(Qt::Key_V);
        dialogs.fileAnswers = { page };
        press(Qt::Key_I);
    };

    // A directory where the working file should be: the record cannot be written.
    const QString working = workspace.workingFilePath(PageKind::Sound);
    ASSERT_TRUE(QDir().mkdir(working));
    addPasteAndImport();
    const QStringList messages = dialogs.takeMessages();
    ASSERT_EQ(messages.size(), 3);
    for (const QString &message : messages)
        EXPECT_TRUE(message.startsWith(u"VK Control Panel: Cannot write the working file"))
            << message.toStdString();
    EXPECT_EQ(announced.count() + inserted.count(), 0);
    EXPECT_EQ(workspace.pages().pageCount(PageKind::Sound), 2);
    // Nor is a failed Apply: none of them is in the history.
    editor.selectPosition(0);
    click(u"&Apply"_s);
    EXPECT_EQ(dialogs.takeMessages().size(), 1);
    EXPECT_EQ(editor.history().count(), 0);

    ASSERT_TRUE(QDir().rmdir(working));
    addPasteAndImport();
    EXPECT_EQ(inserted.count(), 3);
    editor.selectPosition(1);
    click(u"Delete"_s);
    EXPECT_EQ(listTexts(), QStringList({ u"Hum"_s, u"New Sound"_s, u"Pasted"_s, u"Imported"_s }));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(SoundWorkflow, ExportRefusesTheFilesTheProgramReliesOn)
{
    load({ sound("Laser"), sound("Hum") });
    click(u"Add"_s); // the working file now holds a page
    editor.selectPosition(0);
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"sub"_s));
    ASSERT_TRUE(QFile::link(tablePath, dir.path(u"link.gam"_s)));
    const QByteArray tableBytes = readFile(tablePath);
    const QByteArray workingBytes = workingFile();
    writeFile(workspace.filePath(WorkspaceFile::clipboard), "clipboard");
    writeFile(workspace.filePath(WorkspaceFile::lock), "lock");

    const auto exportTo = [&](const QString &target) {
        dialogs.fileAnswers = { target };
        press(Qt::Key_E);
        return dialogs.takeMessages();
    };
    const QString loaded = u"VK Control Panel: Cannot save to \"%1\": it is the loaded table file, "
                           "from which the program still reads its pages. Use Save table file to "
                           "replace it."_s;
    for (const QString &spelling :
         { tablePath, dir.path(u"sub/../table.gam"_s), dir.path(u"link.gam"_s) })
        EXPECT_EQ(exportTo(spelling), QStringList({ loaded.arg(spelling) }));
    const QString own = u"VK Control Panel: Cannot save to \"%1\": the program keeps its own work "
                        "in that file."_s;
    for (const QString &name : { u"sounds.$$$"_s, u"textures.$$$"_s, u"copy.$$$"_s, u"backup.$$$"_s,
                                 u"temp.$$$"_s, u"vkcp.lock"_s }) {
        const QString target = dir.path(name);
        EXPECT_EQ(exportTo(target), QStringList({ own.arg(target) })) << name.toStdString();
    }
    EXPECT_EQ(readFile(tablePath), tableBytes);
    EXPECT_EQ(workingFile(), workingBytes);
    EXPECT_EQ(readFile(workspace.filePath(WorkspaceFile::clipboard)), "clipboard");
    EXPECT_EQ(readFile(workspace.filePath(WorkspaceFile::lock)), "lock");
    for (const char *absent : { "textures.$$$", "backup.$$$" })
        EXPECT_FALSE(QFile::exists(dir.path(QString::fromLatin1(absent)))) << absent;
}

TEST_F(SoundWorkflow, EveryOperationReachesThePageOfTheRowShown)
{
    // Listed in the loader's order, which is the names'.
    load({ sound("Arc laser"), sound("Buzz"), sound("Cut LASER"), sound("Drone"), sound("Laser") });
    filter().setFocus();
    QTest::keyClicks(&filter(), u"laSer"_s);
    EXPECT_EQ(listTexts(), QStringList({ u"Arc laser"_s, u"Cut LASER"_s, u"Laser"_s }));

    // Select and Apply: the page at list position 2, slot 3.
    clickRow(1);
    EXPECT_EQ(editor.selectedPosition(), 2);
    EXPECT_EQ(field(SoundPage::Name)->text(), u"Cut LASER");
    setField(SoundPage::LoopStart, u"7"_s);
    click(u"&Apply"_s);
    EXPECT_EQ(lastApplied(), loud("Cut LASER", 7));
    EXPECT_EQ(workspace.readPage(PageKind::Sound, 2), loud("Cut LASER", 7));

    // Copy and Export take the row's page.
    clickRow(2);
    editor.copy();
    EXPECT_EQ(readFile(workspace.filePath(WorkspaceFile::clipboard)), sound("Laser"));
    const QString exported = dir.path(u"laser.isp"_s);
    clickRow(0);
    dialogs.fileAnswers = { exported };
    editor.exportPage();
    EXPECT_EQ(readFile(exported), sound("Arc laser"));

    // Delete takes out the row's page, then Add and Import append pages that the filter does
    // not match: each is listed and selected all the same.
    clickRow(1);
    click(u"Delete"_s);
    EXPECT_EQ(listTexts(), QStringList({ u"Arc laser"_s, u"Laser"_s }));
    click(u"Add"_s);
    EXPECT_EQ(editor.selectedPosition(), 4);
    EXPECT_EQ(editor.pageList().currentIndex().row(), 2);
    const QString imported = dir.path(u"drum.isp"_s);
    writeFile(imported, sound("Drum"));
    dialogs.fileAnswers = { imported };
    editor.importPage();
    EXPECT_EQ(editor.selectedPosition(), 5);
    EXPECT_EQ(field(SoundPage::Name)->text(), u"Drum");
    EXPECT_EQ(listTexts(), QStringList({ u"Arc laser"_s, u"Laser"_s, u"New Sound"_s, u"Drum"_s }));

    // A page renamed away from the filter stays where the user is working on it.
    clickRow(1);
    setField(SoundPage::Name, u"Beam"_s);
    click(u"&Apply"_s);
    EXPECT_EQ(listTexts().at(1), u"Beam");
    EXPECT_EQ(editor.selectedPosition(), 3);

    // Escape clears the filter and leaves the window open.
    filter().setFocus();
    QTest::keyClick(&filter(), Qt::Key_Escape);
    EXPECT_EQ(filter().text(), u"");
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(listTexts(),
              QStringList(
                  { u"Arc laser"_s, u"Buzz"_s, u"Drone"_s, u"Beam"_s, u"New Sound"_s, u"Drum"_s }));
    EXPECT_EQ(saved(),
              QList<QByteArray>({ sound("Arc laser"), sound("Buzz"), sound("Drone"), sound("Beam"),
                                  sound("New Sound"), sound("Drum") }));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

// The page being edited stays listed through every change of the filter, so what was typed
// can still be applied; a new table or a load clears the filter.
TEST_F(SoundWorkflow, ThePageBeingEditedOutlivesTheFilterAndALoadClearsIt)
{
    load({ sound("Hum"), sound("Laser") });
    editor.selectPosition(0);
    setField(SoundPage::LoopStart, u"3"_s);
    filter().setText(u"laser"_s);
    EXPECT_EQ(listTexts(), QStringList({ u"Hum"_s, u"Laser"_s }));
    EXPECT_EQ(editor.shownPosition(), 0);
    click(u"&Apply"_s);
    EXPECT_EQ(workspace.readPage(PageKind::Sound, 0), loud("Hum", 3));
    filter().setText(u"laser "_s);
    EXPECT_EQ(listTexts(), QStringList({ u"Hum"_s }));

    editor.reloadList();
    EXPECT_EQ(filter().text(), u"");
    EXPECT_EQ(listTexts(), QStringList({ u"Hum"_s, u"Laser"_s }));
}

// Case is ignored as the user's language ignores it.
TEST(PageFilterModel, IgnoresCaseAsTheUsersLanguageDoes)
{
    QStringListModel names({ u"LIFT"_s, u"\u00c9CLAIR"_s, u"gate"_s, u"Stra\u00dfe"_s });
    const auto shown = [&](const QString &text) {
        PageFilterModel filter;
        filter.setSourceModel(&names);
        filter.setText(text);
        QStringList texts;
        for (int row = 0; row < filter.rowCount(); ++row)
            texts.append(filter.index(row, 0).data().toString());
        return texts;
    };
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(shown(u"lift"_s), QStringList({ u"LIFT"_s }));
    EXPECT_EQ(shown(u"\u00e9cl"_s), QStringList({ u"\u00c9CLAIR"_s }));
    EXPECT_EQ(shown(u"STRA\u00dfE"_s), QStringList({ u"Stra\u00dfe"_s }));
    EXPECT_EQ(shown(u"STRASSE"_s), QStringList());
    EXPECT_EQ(shown(u""_s), names.stringList());
    // In Turkish the capital I is the capital of a dotless i.
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    EXPECT_EQ(shown(u"lift"_s), QStringList());
    EXPECT_EQ(shown(u"l\u0131ft"_s), QStringList({ u"LIFT"_s }));
    QLocale::setDefault(saved);
}

// Typing is asked about before a select, Close, Escape, undo or Add would drop it; Apply and
// Discard settle it, Cancel stays.
TEST_F(SoundWorkflow, TypingIsAskedAboutBeforeItIsDropped)
{
    using Answer = UserDialogs::Answer;
    const QString question = u"Sounds: Apply the changes to \"Laser\"?"_s;
    load({ sound("Hum"), sound("Laser") });
    const QModelIndex laser = editor.pageList().model()->index(1, 0);
    editor.selectPosition(0);
    editor.selectPosition(1); // nothing typed, nothing asked
    QTest::keyClicks(field(SoundPage::MinDistance), u"7"_s);
    EXPECT_EQ(editor.windowTitle(), u"Sounds *");
    EXPECT_TRUE(laser.data(Qt::FontRole).value<QFont>().italic());

    editor.selectPosition(0); // Cancel
    QTest::keyClick(&editor, Qt::Key_Escape); // Cancel
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(editor.shownPosition(), 1);
    dialogs.answers = { Answer::Discard };
    editor.selectPosition(0);
    editor.selectPosition(1);
    EXPECT_EQ(field(SoundPage::MinDistance)->text(), u"0"); // shown as stored
    EXPECT_EQ(editor.windowTitle(), u"Sounds");
    EXPECT_FALSE(laser.data(Qt::FontRole).value<QFont>().italic());
    EXPECT_EQ(dialogs.takeMessages(), QStringList({ question, question, question }));

    // Discard by Escape shows the stored page again, so reopening shows no value never stored.
    QTest::keyClicks(field(SoundPage::MinDistance), u"5"_s);
    dialogs.answers = { Answer::Discard };
    QTest::keyClick(&editor, Qt::Key_Escape);
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(field(SoundPage::MinDistance)->text(), u"0");
    editor.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));

    // Apply goes on: Add adds after the page is written; the history undoes the Apply, even
    // from the field whose typing the Apply ended.
    QTest::keyClicks(field(SoundPage::MinDistance), u"7"_s);
    dialogs.answers = { Answer::Apply };
    editor.add();
    testsupport::SoundPage applied;
    applied.name = "Laser";
    applied.minDistance = 70;
    EXPECT_EQ(saved(), QList<QByteArray>({ sound("Hum"), applied.record(), sound("New Sound") }));
    editor.selectPosition(1);
    QTest::keyClick(field(SoundPage::MinDistance), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(saved()[1], applied.record()); // the Add was undone
    editor.selectPosition(1);
    QTest::keyClick(field(SoundPage::MinDistance), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(saved()[1], sound("Laser"));
    EXPECT_EQ(field(SoundPage::MinDistance)->text(), u"0");
    EXPECT_EQ(dialogs.takeMessages(), QStringList({ question, question })); // Escape and Add

    // The page shown goes: its fields are emptied and take no typing.
    editor.deletePage();
    EXPECT_EQ(field(SoundPage::Name)->text(), QString());
    EXPECT_FALSE(field(SoundPage::Name)->isEnabled());
}
