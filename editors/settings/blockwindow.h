#pragma once

#include "settingswindow.h"

class FieldForm;

// A settings window that edits one block of the page shown by the editor that opened it, in one
// form built from the block's layout: the physics, lighting, sound slot, AI and object sound
// windows.
class BlockWindow : public SettingsWindow
{
    Q_OBJECT

public:
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

private:
    FieldForm *m_form;
};
