#pragma once

#include "batterywindow.h"

// The ship weapons window: the 21 weapons of the ship shown, each a weapon battery with the
// ship's fire flags, sounds, powerup and ammo for it. It never writes a file; the ship editor's
// Apply does.
class ShipWeaponsWindow : public BatteryWindow
{
    Q_OBJECT

public:
    explicit ShipWeaponsWindow(UserDialogs &dialogs, QWidget *parent = nullptr);

    // Takes the weapons to edit; Apply hands the working copy back into them.
    void load(std::vector<Values> &weapons);
    void edit(std::vector<Values> &weapons);

protected:
    void takeWorkingCopy() override;
    void refill() override;
    bool keepShown() override;
    void handBack() override;

    Values &battery(int b) override;
    Values &gunpointName(int b, int g) override;
    Values &maskSound(int b, int m) override;

private:
    FieldForm *m_entryForm;
    FieldForm *m_fireFlagsForm;
    std::vector<Values> *m_weapons = nullptr;
    std::vector<Values> m_working;
};
