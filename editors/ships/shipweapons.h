#pragma once

#include "batterywindow.h"

// The ship weapons window: the 21 weapons of the ship shown, each a weapon battery with the
// ship's fire flags, sounds, powerup and ammo for it. It is handed the ship's page and never
// writes a file; the ship editor's Apply does.
class ShipWeaponsWindow : public BatteryWindow
{
    Q_OBJECT

public:
    explicit ShipWeaponsWindow(UserDialogs &dialogs, QWidget *parent = nullptr);

protected:
    Values &battery(Values &working, int b) override;
    Values &gunpointName(Values &working, int b, int g) override;
    Values &maskSound(Values &working, int b, int m) override;
};
