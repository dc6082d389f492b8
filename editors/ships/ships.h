#pragma once

#include "pageeditor.h"

class SharedDialogs;
class ShipWeaponsWindow;

// The ship editor: the ship pages on the common workflow, with the physics and the weapons of
// the page shown.
class ShipEditor : public PageEditor
{
    Q_OBJECT

public:
    ShipEditor(PageLists &lists, UserDialogs &dialogs, SharedDialogs &shared,
               QWidget *parent = nullptr);

    // The buttons: each opens its window on the selected page, and does nothing without one.
    void editWeapons();
    void editPhysics();

    ShipWeaponsWindow &weaponsWindow();

private:
    SharedDialogs &m_shared;
    ShipWeaponsWindow *m_weapons = nullptr;
};
