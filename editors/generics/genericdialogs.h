#pragma once

#include "batterywindow.h"
#include "blockwindow.h"
#include "entrieswindow.h"

class FieldForm;
class QLabel;
class QLineEdit;

// The windows of the blocks only generic pages have. None writes a file; the generic
// editor's Apply does.

// How a robot thinks, moves and fights.
class AiWindow : public BlockWindow
{
    Q_OBJECT

public:
    explicit AiWindow(UserDialogs &dialogs, QWidget *parent = nullptr);
};

// The two objects a page spews, one slot at a time; handed the page.
class SpewWindow : public EntriesWindow
{
    Q_OBJECT

public:
    explicit SpewWindow(UserDialogs &dialogs, QWidget *parent = nullptr);
};

// The two sound names and five AI sound names.
class ObjectSoundsWindow : public BlockWindow
{
    Q_OBJECT

public:
    explicit ObjectSoundsWindow(UserDialogs &dialogs, QWidget *parent = nullptr);
};

// The death type count and the death types, one at a time.
class DeathTypesWindow : public SettingsWindow
{
    Q_OBJECT

public:
    explicit DeathTypesWindow(UserDialogs &dialogs, QWidget *parent = nullptr);

    Navigator &navigator() const { return *m_types; }
    QLineEdit *countField() const;
    FieldForm &typeForm() const { return *m_typeForm; }
    // Beside the probabilities while they do not add up to 100; hidden otherwise.
    QLabel &sumNote() const { return *m_sumNote; }

protected:
    void refill() override;

private:
    QLineEdit *probabilityField() const;
    void noteSum();

    FieldForm *m_countForm;
    FieldForm *m_typeForm;
    Navigator *m_types;
    QLabel *m_sumNote;
};

// The 5 x 24 animation entries, a class and an animation at a time. Their sound names lie in
// a run of their own, far from their frames.
class ClassesWindow : public SettingsWindow
{
    Q_OBJECT

public:
    // Handed the page whose animations to edit.
    explicit ClassesWindow(UserDialogs &dialogs, QWidget *parent = nullptr);

    Navigator &classNavigator() const { return *m_classes; }
    Navigator &animationNavigator() const { return *m_animations; }

private:
    Navigator *m_classes;
    Navigator *m_animations;
};

// The 21 weapon batteries; the texts of their gunpoints and firing masks lie in runs of their
// own, eight per battery.
class GenericBatteryWindow : public BatteryWindow
{
    Q_OBJECT

public:
    // Handed the page whose batteries to edit.
    explicit GenericBatteryWindow(UserDialogs &dialogs, QWidget *parent = nullptr);

protected:
    Values &battery(Values &working, int b) override;
    Values &gunpointName(Values &working, int b, int g) override;
    Values &maskSound(Values &working, int b, int m) override;
};
