#pragma once

#include "editorwindow.h"
#include "layout.h"
#include "navigator.h"

#include <QPointer>

#include <functional>
#include <optional>

class FieldForm;
class ReferenceTargets;

// The base of the dialogs that edit values handed to them: each opening takes a working copy
// of them, Apply hands it back and leaves the dialog open, Close (the close box, Escape) drops
// it. A subclass binds its forms and navigators to where their values lie in the working copy;
// this class shows, keeps and hands back through the bindings.
class SettingsWindow : public EditorWindow
{
    Q_OBJECT

public:
    // Takes the values to edit and shows their working copy at entry 1 of every navigator.
    // Apply hands the copy back into them, so they must outlive the showing.
    void load(Values &values);
    // load, then the window, modally.
    void edit(Values &values);
    // A count typed is taken, the field being edited checked, the shown fields kept, the working
    // copy checked as a whole and handed back. False, with nothing handed back, when any step
    // refuses.
    bool apply();

    // The pages the fields of the bound forms, and of forms bound later, may name.
    void setReferences(ReferenceTargets *targets);

signals:
    // Apply handed the working copy back.
    void handedBack();

protected:
    struct Hints
    {
        QString apply;
        QString close;
        QString closeText = QStringLiteral("&Close");
    };
    SettingsWindow(UserDialogs &dialogs, const QString &title, const QString &name,
                   const Hints &hints, QWidget *parent);

    // The dialog's own controls, above the Apply and Close buttons.
    void setContent(QLayout *content);
    // A navigator whose moves keep the shown fields and refill the window.
    Navigator *addNavigator(const Navigator::Look &look, QWidget *parent = nullptr);

    // Where values lie in the working copy, found at the navigators' indices when used.
    using Place = std::function<Values &(Values &working)>;
    static Values &whole(Values &working) { return working; }
    // The entry of a block item of the working copy that a navigator shows.
    static Place entryOf(const Navigator *navigator, int item);
    // The form shows the values at place; moves and Apply keep what it shows there.
    void bind(FieldForm *form, Place place);
    // The navigator walks the entries of a block item of the working copy: its bound is their
    // number at each opening, and the number Apply hands back. A count field of the navigator
    // changes it: new entries are blank, and what was typed past a lowered count stays until the
    // next opening.
    void bindEntries(Navigator *navigator, int item, const Layout &entryLayout);
    // Only these items of the values are handed back; all of them unless set.
    void handBackOnly(std::vector<int> items) { m_handedItems = std::move(items); }

    Values &working() { return m_working; }
    const Values &working() const { return m_working; }

    // The working copy into the bound forms, at the navigators' indices.
    virtual void refill();
    // What the bound forms show into the working copy; false refuses (the subclass says why).
    virtual bool keepShown();
    struct Refusal
    {
        QString message;
        QWidget *field = nullptr; // gets the focus
    };
    // What Apply refuses in the working copy as a whole.
    virtual std::optional<Refusal> validate() const { return std::nullopt; }

    // Opens with the focus in the first field; Tab goes through the window as it is read,
    // column by column and top to bottom, the buttons last.
    void showEvent(QShowEvent *event) override;

private:
    struct Binding
    {
        FieldForm *form;
        Place place;
    };
    struct Entries
    {
        Navigator *navigator;
        int item;
        const Layout *entryLayout;
    };
    void handBack();

    QAbstractButton *m_apply;
    QAbstractButton *m_close;
    QList<Navigator *> m_navigators;
    QList<Binding> m_bindings;
    QList<Entries> m_entries;
    std::vector<int> m_handedItems;
    Values *m_values = nullptr;
    Values m_working;
    QPointer<ReferenceTargets> m_references;
};
