#pragma once

// A page editor of one kind over a scratch workspace, driven by a scripted user.

#include "fieldform.h"
#include "scripteddialogs.h"
#include "shareddialogs.h"
#include "tablebuilder.h"
#include "testhelpers.h"
#include "workspace.h"

#include <QAbstractItemModel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <type_traits>

namespace testsupport {

template<typename Editor> class EditorTest : public testing::Test
{
protected:
    EditorTest()
    {
        editor.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&editor));
    }

    void load(const QList<QByteArray> &records)
    {
        writeFile(tablePath, table(records));
        workspace.load(tablePath);
        editor.reloadList();
    }

    QStringList listTexts() const
    {
        QStringList texts;
        const QAbstractItemModel *model = editor.pageList().model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts.append(model->index(row, 0).data().toString());
        return texts;
    }

    QLineEdit *field(int index) const { return editor.form().edit(index); }
    void setField(int index, const QString &text) { field(index)->setText(text); }
    QPushButton *button(const QString &text) const
    {
        for (QPushButton *candidate : editor.template findChildren<QPushButton *>())
            if (candidate->text() == text)
                return candidate;
        ADD_FAILURE() << "no button " << text.toStdString();
        return nullptr;
    }
    void click(const QString &text) { QTest::mouseClick(button(text), Qt::LeftButton); }

    // The records of the table saved now, in file order.
    QList<QByteArray> saved()
    {
        const QString out = dir.path(QStringLiteral("out.gam"));
        workspace.save(out);
        return splitRecords(readFile(out));
    }
    QByteArray workingFile() const { return readFile(workspace.workingFilePath(editor.kind())); }

    TempDir dir;
    QString tablePath = dir.path(QStringLiteral("table.gam"));
    Workspace workspace { dir.path() };
    ScriptedDialogs dialogs;
    SharedDialogs shared { dialogs, nullptr };
    std::unique_ptr<Editor> owned { makeEditor() };
    Editor &editor = *owned;

private:
    Editor *makeEditor()
    {
        if constexpr (std::is_constructible_v<Editor, Workspace &, UserDialogs &, SharedDialogs &>)
            return new Editor(workspace, dialogs, shared);
        else
            return new Editor(workspace, dialogs);
    }
};

} // namespace testsupport
