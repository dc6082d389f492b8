#pragma once

#include "settingswindow.h"

class FieldForm;
class QBoxLayout;

// The editing of 21 weapon batteries, each shown with one of its eight gunpoints and one of its
// eight firing masks, on a working copy of a page handed back by Apply: the ship weapons and the
// generic weapon batteries windows. A subclass says where a battery's numbers, gunpoint texts
// and firing mask texts lie in the page.
class BatteryWindow : public SettingsWindow
{
    Q_OBJECT

public:
    Navigator &batteryNavigator() const { return *m_batteries; }
    Navigator &gunpointNavigator() const { return *m_gunpoints; }
    Navigator &maskNavigator() const { return *m_masks; }

protected:
    struct Texts
    {
        QString title;
        QString name;
        QString previousHint; // of "&Prev", the previous battery
        QString nextHint;
        Hints hints;
    };
    BatteryWindow(UserDialogs &dialogs, const Texts &texts, QWidget *parent);

    // Fields an entry holds besides its battery, at entry: its edit fields shown before the
    // battery's usage, its check lists before the battery's flags.
    void addEntryFields(FieldForm *fields, FieldForm *lists, Place entry);

    // The battery shown, from 0.
    int shownBattery() const;
    // Where the values of battery b lie in the working copy; g and m count from 0.
    virtual Values &battery(Values &working, int b) = 0;
    virtual Values &gunpointName(Values &working, int b, int g) = 0;
    virtual Values &maskSound(Values &working, int b, int m) = 0;

private:
    void alignCaptions(QBoxLayout *column);

    QBoxLayout *m_usageColumn;
    QBoxLayout *m_flagColumn;
    Navigator *m_batteries;
    Navigator *m_gunpoints;
    Navigator *m_masks;
};
