#pragma once

#include "layout.h"
#include "settingswindow.h"

class FieldForm;

// A settings window that edits one block of the page shown by the editor that opened it, on a
// working copy handed back by its Apply: the physics, lighting and sound slot windows, whose
// form is built from the block's layout, and the procedural window, which shows the block in
// forms of its own.
class BlockWindow : public SettingsWindow
{
    Q_OBJECT

public:
    // Takes the block to edit; Apply hands the window's values back into it, so it must outlive
    // the showing.
    void load(Values &block);
    // load, then the window, modally.
    void edit(Values &block);

    // The form of a window built on one layout.
    FieldForm &form() const { return *m_form; }

protected:
    struct Texts
    {
        QString title;
        QString name;
        Hints hints;
    };
    // The block shown in one form built from its layout.
    BlockWindow(UserDialogs &dialogs, const Layout &layout, std::span<const int> columnStarts,
                const Texts &texts, QWidget *parent);
    // The subclass lays out its own forms.
    BlockWindow(UserDialogs &dialogs, const Texts &texts, QWidget *parent);

    Values &working() { return m_working; }
    Values &edited() { return *m_block; }

    void takeWorkingCopy() override;
    void refill() override;
    bool keepShown() override;
    void handBack() override;

private:
    FieldForm *m_form = nullptr;
    Values *m_block = nullptr;
    Values m_working;
};
