#pragma once

#include "editorwindow.h"
#include "pageformats.h"

class FieldForm;
class PageHistory;
class PageListModel;
class PageLists;
class PageListPanel;
class QFrame;
class QGridLayout;
class QLineEdit;
class QListView;
class QPushButton;
class QUndoStack;
class SettingsWindow;
class Workspace;

// The one page editor workflow of every kind: the page list with its filter, Select page,
// Apply, Add, Delete, Close, Copy, Paste, Export and Import on window-wide shortcuts, and the
// history of the list's changes. A kind's editor gives its kind and the form's columns, and
// adds only what is its own. Positions are places in the whole list, whatever the filter shows.
class PageEditor : public EditorWindow
{
    Q_OBJECT

public:
    PageEditor(PageLists &lists, UserDialogs &dialogs, PageKind kind,
               std::span<const int> columnStarts, QWidget *parent = nullptr);
    ~PageEditor() override;

    PageKind kind() const { return m_format.kind; }

    // Shows the workspace's list afresh, after a load or New table file: nothing selected, no
    // filter, no history.
    void reloadList();

    // -1 when no page is selected.
    int selectedPosition() const;
    // The selected page when the controls show it; -1 when none is selected or the selected one
    // could not be read (another version, a damaged page): Apply, Copy, Export and the settings
    // windows then do nothing, rather than put the page shown before in its place.
    int shownPosition() const;
    void selectPosition(int position);
    // Clears the filter and selects the page at position, reading it: where another window
    // sends the user to a page.
    void revealPage(int position);
    // Where a field or list of another window sends the user to a page of this kind: the page
    // revealed here when `from` is in this window, or this window opened modally over `from`.
    void openFrom(int position, QWidget &from);

    void selectPage();
    void apply();
    // Whether the page shown differs from its record: typed in, or handed back by a settings
    // window and not yet applied.
    bool isChanged() const;
    // Before what would drop a changed page: asks whether to apply the changes. True when the
    // caller may go on (applied, discarded, or nothing to ask), false when the user cancels or
    // the changes cannot be applied.
    bool settleChanges();
    void add();
    void deletePage();
    void copy();
    void paste();
    void exportPage();
    void importPage();

    FieldForm &form() const { return *m_form; }
    QListView &pageList() const;
    QLineEdit &filterField() const;
    // Apply, Add, Delete, Paste and Import, undone and redone with the page list focused.
    QUndoStack &history() const;
    // "Used by 3": how many pages name the page shown; it lists them.
    QPushButton &usedByButton() const { return *m_usedBy; }
    void showUsers();
    // The table of the kind's pages, over this window; changes shown here are asked about first.
    void showTable();

protected:
    // The page about to be written: a kind drops the blocks its controls say it has not.
    virtual void putBlocks(PageBody &) const { }
    // The page the controls describe: the page shown, with what the user changed.
    PageBody shownBody() const;
    // Its record. Throws TableError, naming the value, if one does not convert.
    QByteArray buildRecord() const;
    // The page shown, as read, with what its settings windows handed back; the form holds
    // what the user changed besides. Selecting another page drops it.
    PageBody &shownPage();
    // A block of the page shown, for its settings window to edit; nullptr while no page is
    // shown or the page has none.
    Values *shownBlock(int item);
    // The values of the page shown, for the windows whose values lie in several of its items;
    // nullptr while no page is shown.
    Values *shownValues();
    // A button beside "&Apply" and "&Close", for a kind's own dialogs.
    QPushButton *addButton(const QString &text, const QString &hint);
    // Opens a settings window on values of the page shown (nothing while values is nullptr);
    // what it hands back marks the page changed.
    void editSettings(SettingsWindow &window, Values *values);
    // A settings window of this editor's own, made when first wanted and kept from then on.
    template<typename Window> Window &ownWindow(Window *&window)
    {
        if (!window)
            window = new Window(dialogs(), this);
        return *window;
    }

    // Close, Escape and the close box ask about a changed page first.
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QFrame *buildFieldPanel(std::span<const int> columnStarts);
    void addShortcuts();
    // The editor follows its list: a page put in it, or pointed at another record by undo and
    // redo, is shown, read afresh; after a page is taken out, none is.
    void followList();
    void showPage(int position);
    // After the page shown is gone: empty fields, which take no typing.
    void showNothing();
    bool applyAt(int position);
    // Apply's question when other pages name the page renamed: false to cancel; else whether
    // they are renamed too.
    std::optional<bool> askRenameAll(const QByteArray &oldName, const QByteArray &newName);
    // Writes the page and every page naming it with the new name as one change; false when
    // any record cannot be written, and then nothing changed.
    bool renameAll(int position, PageBody body, const QByteArray &oldName);
    // The list's name of the page shown, valid until the list changes; none while no page is
    // shown, or the list is being replaced.
    std::optional<QByteArrayView> shownName() const;
    void updateUsers();
    // The name field's mark when another page of the kind has the name it holds.
    void updateNameMark();
    // Something in the controls or the page shown may differ from the record now.
    void touched();
    void keepStored();
    void updateChangeMark();
    void setChangeMark(bool changed);

    QPushButton *makeButton(const QString &text, const QString &hint);
    // Copy and Export: the record the controls describe, as the whole of a file.
    void saveRecord(const QString &path) const;
    // Appends the page record in a page file as a new page and selects it. A file that does
    // not hold a page of this kind is passed over.
    void appendPageFile(const QString &path, const QString &verb, const QString &description);
    // Puts a page whose record is not yet written at the end of the list.
    void appendPage(const QString &verb, const QByteArray &record, const QByteArray &name);

    PageLists &m_lists;
    Workspace &m_workspace;
    const PageFormat &m_format;
    PageBody m_body;
    // The page shown as its record holds it, kept once anything may change the page.
    std::optional<PageBody> m_stored;
    QString m_title;
    bool m_selecting = false; // putting the selection back
    bool m_touched = false; // since the page was shown as stored
    PageListModel *m_model;
    PageListPanel *m_list;
    PageHistory *m_history;
    FieldForm *m_form;
    QGridLayout *m_kindButtons;
    QPushButton *m_usedBy;
    int m_shown = -1; // the list position whose page m_body holds
    qint64 m_shownRecord = 0; // where the record m_body was read from or written to lies
};
