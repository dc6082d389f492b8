#pragma once

#include "settingswindow.h"

class FieldForm;

// A settings window that shows the entries of a block of a page one at a time on a navigator:
// the spew slots of a generic page. It is handed the page, and hands back only that block.
class EntriesWindow : public SettingsWindow
{
    Q_OBJECT

public:
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
    // item: the block in the page; layout: its entries'.
    EntriesWindow(UserDialogs &dialogs, int item, const Layout &layout,
                  std::span<const int> columnStarts, const Texts &texts, QWidget *parent);

private:
    FieldForm *m_form;
    Navigator *m_navigator;
};
