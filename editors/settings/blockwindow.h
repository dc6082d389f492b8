#pragma once

#include "layout.h"
#include "settingswindow.h"

class FieldForm;

// A settings window that shows one entry of a block in a form built from its layout: the
// physics, lighting and sound slot windows. It edits the block of the page shown by the editor
// that opened it, on a working copy handed back by its Apply.
class BlockWindow : public SettingsWindow
{
    Q_OBJECT

public:
    // Takes the block to edit; Apply hands the window's values back into it, so it must outlive
    // the showing.
    void load(Values &block);
    // load, then the window, modally.
    void edit(Values &block);

    FieldForm &form() const { return *m_form; }

protected:
    struct Texts
    {
        QString title;
        QString name;
        Hints hints;
    };
    BlockWindow(UserDialogs &dialogs, const Layout &layout, std::span<const int> columnStarts,
                const Texts &texts, QWidget *parent);

    void takeWorkingCopy() override;
    void refill() override;
    bool keepShown() override;
    void handBack() override;

private:
    FieldForm *m_form;
    Values *m_block = nullptr;
    Values m_working;
};
