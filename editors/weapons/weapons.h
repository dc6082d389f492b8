#pragma once

#include "pageeditor.h"

class SharedDialogs;
class SoundSlotWindow;

// The weapon editor: the weapon pages on the common workflow, with the physics, lighting and
// sound slot settings of the page shown.
class WeaponEditor : public PageEditor
{
    Q_OBJECT

public:
    WeaponEditor(PageLists &lists, UserDialogs &dialogs, SharedDialogs &shared,
                 QWidget *parent = nullptr);

    // The buttons: each opens its window on the selected page's block, and does nothing
    // without one.
    void editPhysics();
    void editLighting();
    void editSounds();

    SoundSlotWindow &soundWindow();

private:
    SharedDialogs &m_shared;
    SoundSlotWindow *m_sounds = nullptr;
};
