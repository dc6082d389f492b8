// The page editor workflow where it meets files it must not write and writes that fail.

#include "sounds.h"

#include "editorfixture.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QUndoStack>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

// Collects what QAbstractItemModelTester finds wrong with a model.
class ModelFaults
{
public:
    ModelFaults()
    {
        s_faults = &m_faults;
        s_previous = qInstallMessageHandler(record);
    }
    ~ModelFaults()
    {
        qInstallMessageHandler(s_previous);
        s_faults = nullptr;
    }
    const QStringList &faults() const { return m_faults; }

private:
    static void record(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (s_faults && context.category && qstrcmp(context.category, "qt.modeltest") == 0)
            s_faults->append(text);
        else if (s_previous)
            s_previous(type, context, text);
    }

    QStringList m_faults;
    static inline QStringList *s_faults = nullptr;
    static inline QtMessageHandler s_previous = nullptr;
};

class WorkflowTest : public EditorTest<SoundEditor>
{
protected:
    QAbstractItemModel *model() const { return editor.pageList().model(); }
    void press(Qt::Key key) { QTest::keyClick(&editor, key, Qt::ControlModifier); }
};

} // namespace

TEST_F(WorkflowTest, AFailedAddPasteOrImportLeavesListAndModelInStep)
{
    ModelFaults faults;
    QAbstractItemModelTester tester(model(),
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    load({ sound("Laser"), sound("Hum") });
    QSignalSpy announced(model(), &QAbstractItemModel::rowsAboutToBeInserted);
    QSignalSpy inserted(model(), &QAbstractItemModel::rowsInserted);
    const QString page = dir.path(u"page.isp"_s);
    writeFile(page, sound("Imported"));
    writeFile(workspace.filePath(WorkspaceFile::clipboard), sound("Pasted"));

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
    EXPECT_EQ(faults.faults(), QStringList());
}

TEST_F(WorkflowTest, ExportAndCopyRefuseTheFilesTheProgramReliesOn)
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

    // Copy writes the page clipboard, which can never be the loaded table file.
    press(Qt::Key_C);
    EXPECT_EQ(readFile(workspace.filePath(WorkspaceFile::clipboard)), sound("Hum"));
    const QString clipboardTable = workspace.filePath(WorkspaceFile::clipboard);
    writeFile(clipboardTable, table({ sound("Kept") }));
    EXPECT_EQ(
        tableErrorOf([&] { workspace.load(clipboardTable); }),
        u"Cannot load \"%1\": the program keeps its own work in that file."_s.arg(clipboardTable));
}

TEST_F(WorkflowTest, ExportOfAPageWithoutANameProposesNoName)
{
    load({ sound("Laser"), sound("") });
    const QString laser = dir.path(u"laser.isp"_s);
    editor.selectPosition(1);
    dialogs.fileAnswers = { laser };
    press(Qt::Key_E);
    editor.selectPosition(0);
    dialogs.fileAnswers = { QString() };
    press(Qt::Key_E);
    ASSERT_EQ(dialogs.fileRequests.size(), 2);

    // The dialog starts where the last export went, proposing the name of the page or none:
    // Enter must not replace the last export with this page.
    const FileDialogStart named = fileDialogStart(dialogs.fileRequests[0], laser);
    EXPECT_EQ(named.directory, QDir(dir.path()).absolutePath());
    EXPECT_EQ(named.fileName, u"Laser");
    EXPECT_EQ(fileDialogStart(dialogs.fileRequests[1], laser).fileName, QString());
    EXPECT_EQ(readFile(laser), sound("Laser"));

    // Import has no name to propose: it offers the file last chosen in it.
    dialogs.fileAnswers = { QString() };
    press(Qt::Key_I);
    EXPECT_EQ(fileDialogStart(dialogs.fileRequests[2], laser).fileName, u"laser.isp");
}
