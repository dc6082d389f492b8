#pragma once

#include "blockwindow.h"

// The weapon's seven sound slots.
class SoundSlotWindow : public BlockWindow
{
    Q_OBJECT

public:
    explicit SoundSlotWindow(UserDialogs &dialogs, QWidget *parent = nullptr);
};
