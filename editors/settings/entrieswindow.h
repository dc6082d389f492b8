#pragma once

#include "layout.h"
#include "settingswindow.h"

class FieldForm;

// A settings window that shows the entries of a block one at a time on a navigator, on a
// working copy that its Apply hands back: the spew slots of a generic page.
class EntriesWindow : public SettingsWindow
{
    Q_OBJECT

public:
    // Takes the entries to edit; Apply hands the working copy back into them.
    void load(std::vector<Values> &entries);
    void edit(std::vector<Values> &entries);

    FieldForm &form() const { return *m_form; }
    Navigator &navigator() const { return *m_navigator; }

protected:
    struct Texts
    {
        QString title;
        QString name;
        Hints hints;
        Navigator::Look look;
    };
    EntriesWindow(UserDialogs &dialogs, const Layout &layout, std::span<const int> columnStarts,
                  const Texts &texts, QWidget *parent);

    void takeWorkingCopy() override;
    void refill() override;
    bool keepShown() override;
    void handBack() override;

private:
    Values &shown();

    FieldForm *m_form;
    Navigator *m_navigator;
    std::vector<Values> *m_entries = nullptr;
    std::vector<Values> m_working;
};
