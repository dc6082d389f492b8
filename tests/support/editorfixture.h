#pragma once

// A page editor of one kind over a scratch workspace, driven by a scripted user.

#include "fieldform.h"
#include "kindeditors.h"
#include "pageeditor.h"
#include "pageformats.h"
#include "pagelists.h"
#include "scripteddialogs.h"
#include "shareddialogs.h"
#include "tablebuilder.h"
#include "testhelpers.h"
#include "workspace.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <type_traits>

namespace testsupport {

// The control that a window's label with this caption names.
template<typename Control = QLineEdit>
Control *captioned(const QWidget &window, const QString &caption)
{
    for (const QLabel *label : window.findChildren<QLabel *>())
        if (label->text() == caption)
            if (auto *control = qobject_cast<Control *>(label->buddy()))
                return control;
    ADD_FAILURE() << "no control captioned " << caption.toStdString();
    return nullptr;
}

// Runs the steps inside the window that open shows modally, once it is active, then closes it.
// False when open did not show it modally; the steps then do not run.
inline bool inModal(QDialog &window, const std::function<void()> &open,
                    const std::function<void()> &steps)
{
    bool opened = false;
    QTimer::singleShot(0, &window, [&] {
        opened = QApplication::activeModalWidget() == &window;
        if (opened) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return window.isActiveWindow(); }));
            steps();
        }
        window.close();
    });
    open();
    QCoreApplication::processEvents(); // the timer, when nothing was shown
    return opened;
}

// A scratch workspace with a table file, a scripted user and the shared settings windows.
class Scratch
{
protected:
    void loadTable(const QList<QByteArray> &records)
    {
        writeFile(tablePath, table(records));
        workspace.load(tablePath);
    }
    // The records of the table saved now, in file order.
    QList<QByteArray> saved()
    {
        const QString out = dir.path(QStringLiteral("out.gam"));
        workspace.save(out);
        return splitRecords(readFile(out));
    }
    // The record the last change of the kind appended to its working file.
    QByteArray lastWritten(PageKind kind) const
    {
        const QList<QByteArray> records = splitRecords(readFile(workspace.workingFilePath(kind)));
        return records.isEmpty() ? QByteArray() : records.constLast();
    }

    TempDir dir;
    QString tablePath = dir.path(QStringLiteral("table.gam"));
    Workspace workspace { dir.path() };
    PageLists lists { workspace };
    ScriptedDialogs dialogs;
    QWidget sharedParent; // owns the shared settings windows
    SharedDialogs shared { dialogs, sharedParent };
};

template<typename Editor> class EditorTest : public testing::Test, protected Scratch
{
protected:
    EditorTest()
    {
        editor.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&editor));
    }

    void load(const QList<QByteArray> &records)
    {
        loadTable(records);
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

    QByteArray workingFile() const { return readFile(workspace.workingFilePath(editor.kind())); }
    QByteArray lastApplied() const { return lastWritten(editor.kind()); }

    std::unique_ptr<Editor> owned { makeEditor() };
    Editor &editor = *owned;

private:
    Editor *makeEditor()
    {
        if constexpr (std::is_constructible_v<Editor, PageLists &, UserDialogs &, SharedDialogs &>)
            return new Editor(lists, dialogs, shared);
        else
            return new Editor(lists, dialogs);
    }
};

// The editor of the kind a test's parameter names, shown, over a scratch workspace: for what
// every kind's editor must do alike.
class KindEditorTest : public testing::TestWithParam<KindEditor>, protected Scratch
{
protected:
    KindEditorTest()
        : editor(GetParam().make(lists, dialogs, shared, nullptr))
    {
        editor->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    }

    PageKind kind() const { return GetParam().kind; }
    const PageFormat &format() const { return pageFormat(kind()); }
    // A new page of the kind, named, made by the kind's layout.
    QByteArray page(const QByteArray &name) const
    {
        PageBody body = PageBody::blank(format());
        body.values.field(format().nameItem) = name;
        return body.record(format());
    }
    void load(const QList<QByteArray> &records)
    {
        loadTable(records);
        editor->reloadList();
    }
    QByteArray lastWritten() const { return Scratch::lastWritten(kind()); }

    std::unique_ptr<PageEditor> editor;
};

// The kind's short name, as the name of a test's row.
inline std::string kindName(const testing::TestParamInfo<KindEditor> &info)
{
    return kindInfo(info.param.kind).name.data();
}

} // namespace testsupport
