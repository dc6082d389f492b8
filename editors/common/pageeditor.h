#pragma once

#include "editorkinds.h"
#include "editorwindow.h"
#include "pagefields.h"

class FieldForm;
class PageListModel;
class QHBoxLayout;
class QListView;
class QPushButton;
class RecordReader;
class Workspace;

// The one page editor workflow of every kind: the page list, Select page, Apply, Add,
// Delete, Close, and Copy, Paste, Export and Import on window-wide shortcuts. A kind's editor
// gives its field table and adds only what is its own.
class PageEditor : public EditorWindow
{
    Q_OBJECT

public:
    PageEditor(Workspace &workspace, UserDialogs &dialogs, const PageFormat &format,
               std::span<const int> columnStarts, QWidget *parent = nullptr);

    PageKind kind() const { return m_format.kind; }
    const EditorTexts &texts() const { return editorTexts(kind()); }

    // Shows the workspace's list afresh, after a load or New table file; nothing selected.
    void reloadList();

    // -1 when no page is selected.
    int selectedPosition() const;
    void selectPosition(int position);

    void selectPage();
    void apply();
    void add();
    void deletePage();
    void copy();
    void paste();
    void exportPage();
    void importPage();

    FieldForm &form() const { return *m_form; }
    QListView &pageList() const { return *m_list; }

protected:
    // Runs as soon as a page is selected, before its record is read.
    virtual void pageChosen() { }
    // Puts the fields of a record of the right version into the controls; returns the name.
    // A kind with more than its declared fields reads the rest here.
    virtual QByteArray showPage(RecordReader &reader);
    // The record the controls describe. Throws TableError, naming the value, if one does not
    // convert.
    virtual QByteArray buildRecord() const;
    // The record Add writes.
    virtual QByteArray newRecord() const;
    // A button beside "&Apply" and "&Close", for a kind's own dialogs.
    QPushButton *addButton(const QString &text, const QString &hint);

private:
    QPushButton *makeButton(const QString &text, const QString &hint);
    void addShortcut(const QString &text, const QKeySequence &keys, void (PageEditor::*command)());
    // Appends the page record in a page file as a new page and selects it. A file that does
    // not hold a page of this kind is passed over.
    // Copy and Export: the record the controls describe, as the whole of a file.
    void saveRecord(const QString &path) const;
    void appendPageFile(const QString &path, const QString &description);
    void selectLast();
    // Runs a command that works with files; a failure is shown in the standard error box.
    template<typename Command> void guarded(Command &&command);

    Workspace &m_workspace;
    const PageFormat &m_format;
    PageListModel *m_model;
    QListView *m_list;
    FieldForm *m_form;
    QHBoxLayout *m_buttonRow;
    bool m_deleting = false;
};
