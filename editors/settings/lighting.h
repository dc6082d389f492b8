#pragma once

#include "blockwindow.h"

// The lighting settings: one window for the whole program, opened by the weapon and generic
// editors on the lighting block of the page each shows.
class LightingWindow : public BlockWindow
{
    Q_OBJECT

public:
    explicit LightingWindow(UserDialogs &dialogs, QWidget *parent = nullptr);
};
