#include "doors.h"

#include "doorpage.h"
#include "editorfixture.h"

#include <QListWidget>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

using DoorEditorTest = EditorTest<DoorEditor>;

} // namespace

TEST_F(DoorEditorTest, ApplyWritesWhatWasChangedAndKeepsTheRestOrWritesNothing)
{
    testsupport::DoorPage grate;
    grate.name = "Blast grate";
    grate.model = "grate.qmf";
    grate.timeOpen = 4;
    grate.flags = 0xfd; // Blastable and six bits without an item
    grate.hitPoints = 300;
    grate.closeSound = "door shut";
    load({ grate.record() });
    editor.selectPosition(0);
    const QListWidget *flags = editor.form().checkList(DoorPage::Flags);
    ASSERT_EQ(flags->count(), 2);
    EXPECT_EQ(flags->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(flags->item(1)->checkState(), Qt::Unchecked);
    EXPECT_EQ(field(DoorPage::TimeOpen)->text(), u"4");
    EXPECT_EQ(field(DoorPage::CloseSound)->text(), u"door shut");

    setField(DoorPage::HitPoints, u"70000"_s);
    click(u"&Apply"_s);
    grate.hitPoints = 4464; // the bits without an item stay as they were
    EXPECT_EQ(saved(), QList<QByteArray>({ grate.record() }));

    click(u"Add"_s);
    EXPECT_EQ(splitRecords(workingFile()).last(), testsupport::DoorPage().record()); // length 34

    // No field is checked on leaving; letters in a time are found when Apply builds the record.
    setField(DoorPage::OpeningTime, u"soon"_s);
    field(DoorPage::OpeningTime)->setFocus();
    field(DoorPage::Model)->setFocus();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    const QByteArray workingBefore = workingFile();
    click(u"&Apply"_s);
    EXPECT_EQ(dialogs.takeMessages(),
              QStringList({ u"VK Control Panel: 'soon' is not a valid float value"_s }));
    EXPECT_EQ(workingFile(), workingBefore);
    EXPECT_EQ(saved(), QList<QByteArray>({ grate.record(), testsupport::DoorPage().record() }));
}
