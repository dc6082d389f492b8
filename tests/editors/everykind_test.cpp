// What every kind's editor must do, one row per kind that has an editor.

#include "kindeditors.h"
#include "pageeditor.h"
#include "scripteddialogs.h"
#include "shareddialogs.h"
#include "tablebuilder.h"
#include "testhelpers.h"
#include "workspace.h"

#include <QTest>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

class EveryEditor : public testing::TestWithParam<KindEditor>
{
protected:
    EveryEditor()
        : editor(GetParam().make(workspace, dialogs, shared, nullptr))
    {
        editor->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    }

    PageKind kind() const { return GetParam().kind; }
    QByteArray workingRecord(int fromEnd = 0) const
    {
        const QList<QByteArray> records = splitRecords(readFile(workspace.workingFilePath(kind())));
        return records.value(records.size() - 1 - fromEnd);
    }

    TempDir dir;
    Workspace workspace { dir.path() };
    ScriptedDialogs dialogs;
    SharedDialogs shared { dialogs, nullptr };
    std::unique_ptr<PageEditor> editor;
};

std::string kindName(const testing::TestParamInfo<KindEditor> &info)
{
    return kindInfo(info.param.kind).name.data();
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

INSTANTIATE_TEST_SUITE_P(EveryKind, EveryEditor,
                         testing::ValuesIn(kindEditors().begin(), kindEditors().end()), kindName);
