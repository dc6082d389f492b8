#include "sounds.h"

#include "editorfixture.h"
#include "soundpage.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

class SoundEditorTest : public EditorTest<SoundEditor>
{
protected:
    QListWidget *flags() const { return editor.form().checkList(SoundPage::Flags); }
    void press(Qt::Key key, QWidget *at = nullptr)
    {
        QTest::keyClick(at ? at : &editor, key, Qt::ControlModifier);
    }
    QString clipboard() const { return workspace.filePath(WorkspaceFile::clipboard); }
};

testsupport::SoundPage soundPage(const QByteArray &name)
{
    testsupport::SoundPage page;
    page.name = name;
    return page;
}

} // namespace

TEST_F(SoundEditorTest, SelectReadsTheCurrentRecordAndSaveWritesOnlyTheLastApply)
{
    testsupport::SoundPage laser = soundPage("Laser");
    laser.waveFile = "laser.wav";
    laser.flags = 0x41; // Looped, Use Cone
    load({ sound("Hum"), laser.record() });
    editor.selectPosition(1);
    EXPECT_EQ(field(SoundPage::WaveFile)->text(), u"laser.wav");
    EXPECT_EQ(flags()->item(1)->checkState(), Qt::Unchecked);
    EXPECT_EQ(flags()->item(6)->checkState(), Qt::Checked);

    // Applied twice: the page is read back from the working file, and only the second is saved.
    setField(SoundPage::LoopStart, u"1"_s);
    click(u"&Apply"_s);
    setField(SoundPage::LoopStart, u"2"_s);
    setField(SoundPage::Name, u"Laser2"_s);
    click(u"&Apply"_s);
    EXPECT_EQ(listTexts(), QStringList({ u"Hum"_s, u"Laser2"_s }));
    editor.selectPosition(0);
    EXPECT_EQ(field(SoundPage::WaveFile)->text(), u"");
    editor.selectPosition(1);
    EXPECT_EQ(field(SoundPage::LoopStart)->text(), u"2");

    laser.name = "Laser2";
    laser.loopStart = 2;
    EXPECT_EQ(saved(), QList<QByteArray>({ sound("Hum"), laser.record() }));
    EXPECT_EQ(splitRecords(workingFile()).size(), 2); // both versions appended, one referenced
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(SoundEditorTest, CopyThenPasteTwiceAddsTwoPagesWithTheClipboardsName)
{
    load({ sound("Laser", 300) });
    editor.selectPosition(0);
    setField(SoundPage::MinDistance, u"2.5"_s); // Copy writes the controls, not the stored page
    // The shortcuts act on the window even in an edit field, which has its own Ctrl+C / Ctrl+V.
    QLineEdit *name = field(SoundPage::Name);
    name->setFocus();
    press(Qt::Key_C, name);
    press(Qt::Key_V, name);
    press(Qt::Key_V);
    EXPECT_EQ(listTexts(), QStringList({ u"Laser"_s, u"Laser"_s, u"Laser"_s }));
    EXPECT_EQ(editor.selectedPosition(), 2);

    testsupport::SoundPage copied = soundPage("Laser");
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

TEST_F(SoundEditorTest, PasteOfAnotherVersionKeepsItUnchangedAndUnnamed)
{
    load({ sound("Laser") });
    testsupport::SoundPage older = soundPage("Old");
    older.version = 2;
    writeFile(clipboard(), older.record());
    editor.selectPosition(0);
    press(Qt::Key_V);
    EXPECT_EQ(dialogs.takeMessages(),
              QStringList({ u"Warning: This page uses a different version of the sound pages. "
                            "Data ignored."_s }));
    EXPECT_EQ(listTexts(), QStringList({ u"Laser"_s, QString() }));
    EXPECT_EQ(field(SoundPage::Name)->text(), u"Laser"); // the controls keep what they showed
    EXPECT_EQ(saved(), QList<QByteArray>({ sound("Laser"), older.record() }));
}

TEST_F(SoundEditorTest, ExportThenImportRoundTripLeavesTheClipboardAlone)
{
    load({ sound("Laser", 12) });
    writeFile(clipboard(), sound("On the clipboard"));
    const QString exported = dir.path(u"laser.isp"_s);
    editor.selectPosition(0);
    dialogs.fileAnswers = { exported };
    press(Qt::Key_E, field(SoundPage::Name));
    ASSERT_EQ(dialogs.fileRequests.size(), 1);
    EXPECT_EQ(dialogs.fileRequests[0].defaultSuffix, u"isp");

    dialogs.fileAnswers = { exported };
    press(Qt::Key_I);
    EXPECT_EQ(readFile(exported), sound("Laser", 12)); // the user's file stays where it was
    EXPECT_EQ(readFile(clipboard()), sound("On the clipboard"));
    EXPECT_EQ(saved(), QList<QByteArray>({ sound("Laser", 12), sound("Laser", 12) }));
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // A target that is not a regular file is refused and left as it is.
    dialogs.fileAnswers = { dir.path() };
    press(Qt::Key_E);
    EXPECT_EQ(
        dialogs.takeMessages(),
        QStringList({ u"VK Control Panel: Cannot save to \"%1\": it is not a regular file."_s.arg(
            dir.path()) }));
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());

    press(Qt::Key_I); // cancelled dialogs do nothing
    press(Qt::Key_E);
    EXPECT_EQ(listTexts().size(), 2);
}

TEST_F(SoundEditorTest, ImportOfDamagedOrForeignFilesAddsNothing)
{
    load({ sound("Laser") });
    const QString file = dir.path(u"page.isp"_s);
    const auto importFile = [&](const QByteArray &content) {
        writeFile(file, content);
        dialogs.fileAnswers = { file };
        press(Qt::Key_I);
        return dialogs.takeMessages();
    };
    const QString damaged =
        u"VK Control Panel: The page file \"%1\" is damaged: its record "_s.arg(file);

    EXPECT_EQ(importFile(texture("Wall")), QStringList()); // another kind: passed over
    const QByteArray whole = sound("Cut");
    EXPECT_EQ(importFile(whole.left(whole.size() - 1)),
              QStringList({ damaged + u"runs past the end of the file"_s }));
    EXPECT_EQ(importFile(recordWithLength(kind::sound, 5, Bytes().u16(1))),
              QStringList({ damaged + u"has an impossible length of 5 bytes"_s }));
    EXPECT_EQ(listTexts(), QStringList({ u"Laser"_s }));
    EXPECT_FALSE(QFile::exists(workspace.workingFilePath(PageKind::Sound)));
}

TEST_F(SoundEditorTest, FailedApplyOrCopyWritesNothing)
{
    load({ sound("Laser") });
    editor.selectPosition(0);
    writeFile(clipboard(), sound("Kept"));
    setField(SoundPage::LoopEnd, u"12abc"_s);
    click(u"&Apply"_s);
    EXPECT_EQ(dialogs.takeMessages(),
              QStringList({ u"VK Control Panel: '12abc' is not a valid integer value"_s }));
    press(Qt::Key_C);
    EXPECT_EQ(dialogs.takeMessages().size(), 1);
    EXPECT_FALSE(QFile::exists(workspace.workingFilePath(PageKind::Sound)));
    EXPECT_EQ(readFile(clipboard()), sound("Kept"));
    EXPECT_EQ(saved(), QList<QByteArray>({ sound("Laser") }));
}

// Flags without an item and unchanged values are covered for every kind; here, what is shown
// differs from what is stored.
TEST_F(SoundEditorTest, ShownRoundedOrCutButWrittenAsTyped)
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
    EXPECT_EQ(field(SoundPage::Name)->text(), QString(35, u'L')); // shown cut, still listed whole
    EXPECT_EQ(listTexts()[1], QString::fromLatin1(longName));
    setField(SoundPage::Name, QString(50, u'N')); // a long name typed in is kept whole
    click(u"&Apply"_s);
    EXPECT_EQ(listTexts()[1], QString(50, u'N'));
    EXPECT_EQ(saved()[1], sound(QByteArray(50, 'N')));
}

TEST_F(SoundEditorTest, NumberFieldsAreCheckedWhenTheFocusLeaves)
{
    load({ sound("Laser") });
    editor.selectPosition(0);
    QLineEdit *loopStart = field(SoundPage::LoopStart);
    QLineEdit *maxDistance = field(SoundPage::MaxDistance);

    loopStart->setFocus();
    loopStart->setText(u"1.5"_s);
    QTest::keyClick(loopStart, Qt::Key_Tab);
    EXPECT_EQ(dialogs.takeMessages(),
              QStringList({ u"Error: Please enter a correct integer value"_s }));
    EXPECT_TRUE(loopStart->hasFocus());
    EXPECT_EQ(loopStart->text(), u"1.5");

    loopStart->setText(QString()); // empty passes, and so does a float in a float field
    maxDistance->setFocus();
    maxDistance->setText(u"1.5"_s);
    loopStart->setFocus();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    maxDistance->setFocus();
    maxDistance->setText(u"far"_s);
    field(SoundPage::WaveFile)->setFocus();
    EXPECT_EQ(dialogs.takeMessages(),
              QStringList({ u"Error: Please enter a correct float value"_s }));
    EXPECT_TRUE(maxDistance->hasFocus());
}

TEST_F(SoundEditorTest, HoverHelpShowsTheHintOfLabelsAndButtons)
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
}
