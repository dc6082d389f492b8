#pragma once

#include "blockwindow.h"

// The physics settings: one window for the whole program, opened by the weapon, ship and
// generic editors on the physics block of the page each shows.
class PhysicsWindow : public BlockWindow
{
    Q_OBJECT

public:
    explicit PhysicsWindow(UserDialogs &dialogs, QWidget *parent = nullptr);
};
