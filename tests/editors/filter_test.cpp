// The filter over a page list: every operation reaches the page of the row shown.

#include "editorfixture.h"
#include "pagefilter.h"
#include "soundpage.h"
#include "sounds.h"

#include <QStringListModel>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

class PageFilterTest : public EditorTest<SoundEditor>
{
protected:
    QLineEdit &filter() const { return editor.filterField(); }
    // Selects a row as the user does, by clicking it.
    void clickRow(int row)
    {
        QListView &list = editor.pageList();
        const QRect place = list.visualRect(list.model()->index(row, 0));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, place.center());
    }
    QList<int> pageSlots() const { return slotMap(workspace.pages(), PageKind::Sound); }
};

QByteArray loud(const QByteArray &name, int loopStart)
{
    testsupport::SoundPage page;
    page.name = name;
    page.loopStart = loopStart;
    return page.record();
}

} // namespace

TEST_F(PageFilterTest, EveryOperationReachesThePageOfTheRowShown)
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

    // Delete takes out the row's page, then Add appends a page that the filter does not match:
    // it is listed and selected all the same.
    clickRow(1);
    click(u"Delete"_s);
    EXPECT_EQ(pageSlots(), QList<int>({ 1, 2, 4, 5 }));
    EXPECT_EQ(listTexts(), QStringList({ u"Arc laser"_s, u"Laser"_s }));
    click(u"Add"_s);
    EXPECT_EQ(pageSlots(), QList<int>({ 1, 2, 4, 5, 6 }));
    EXPECT_EQ(listTexts(), QStringList({ u"Arc laser"_s, u"Laser"_s, u"New Sound"_s }));
    EXPECT_EQ(editor.selectedPosition(), 4);
    EXPECT_EQ(editor.pageList().currentIndex().row(), 2);

    // Paste and Import likewise; each new page is the one selected.
    const QString imported = dir.path(u"drum.isp"_s);
    writeFile(imported, sound("Drum"));
    editor.paste();
    EXPECT_EQ(editor.selectedPosition(), 5);
    dialogs.fileAnswers = { imported };
    editor.importPage();
    EXPECT_EQ(editor.selectedPosition(), 6);
    EXPECT_EQ(field(SoundPage::Name)->text(), u"Drum");
    EXPECT_EQ(listTexts(),
              QStringList({ u"Arc laser"_s, u"Laser"_s, u"New Sound"_s, u"Laser"_s, u"Drum"_s }));

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
              QStringList({ u"Arc laser"_s, u"Buzz"_s, u"Drone"_s, u"Beam"_s, u"New Sound"_s,
                            u"Laser"_s, u"Drum"_s }));
    EXPECT_EQ(saved(),
              QList<QByteArray>({ sound("Arc laser"), sound("Buzz"), sound("Drone"), sound("Beam"),
                                  sound("New Sound"), sound("Laser"), sound("Drum") }));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

// The page being edited stays listed through every change of the filter, so what was typed
// can still be applied; a new table or a load clears the filter.
TEST_F(PageFilterTest, ThePageBeingEditedOutlivesTheFilterAndALoadClearsIt)
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
    QStringListModel names({ u"LIFT"_s,
                             QString::fromLatin1("\xc9"
                                                 "CLAIR"),
                             u"gate"_s, u"Stra\u00dfe"_s });
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
    EXPECT_EQ(shown(QString::fromLatin1("\xe9"
                                        "cl")),
              QStringList({ names.stringList()[1] }));
    EXPECT_EQ(shown(u"STRASSE"_s), QStringList());
    EXPECT_EQ(shown(u"STRA\u00dfE"_s), QStringList({ u"Stra\u00dfe"_s }));
    EXPECT_EQ(shown(u""_s), names.stringList());
    // In Turkish the capital I is the capital of a dotless i.
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    EXPECT_EQ(shown(u"lift"_s), QStringList());
    EXPECT_EQ(shown(u"l\u0131ft"_s), QStringList({ u"LIFT"_s }));
    QLocale::setDefault(saved);
}
