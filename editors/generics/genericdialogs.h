#pragma once

#include "batterywindow.h"
#include "blockwindow.h"
#include "entrieswindow.h"

class FieldForm;
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

// The two objects a page spews, one slot at a time.
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

// The death type count and the death types, one at a time. The working copy holds all four
// slots, so that what was typed in a slot past a lowered count stays until the next opening.
class DeathTypesWindow : public BlockWindow
{
    Q_OBJECT

public:
    explicit DeathTypesWindow(UserDialogs &dialogs, QWidget *parent = nullptr);

    Navigator &navigator() const { return *m_types; }
    QLineEdit *countField() const;
    FieldForm &typeForm() const { return *m_typeForm; }

protected:
    void takeWorkingCopy() override;
    void refill() override;
    bool keepShown() override;
    void handBack() override;

private:
    Values &shownType();
    std::optional<QString> takeCount(const QString &text);

    int m_count = 1;
    FieldForm *m_countForm;
    FieldForm *m_typeForm;
    Navigator *m_types;
};

// The 5 x 24 animation entries, a class and an animation at a time. Their sound names lie in
// a run of their own, far from their frames.
class ClassesWindow : public SettingsWindow
{
    Q_OBJECT

public:
    explicit ClassesWindow(UserDialogs &dialogs, QWidget *parent = nullptr);

    // Takes the page whose animations to edit; Apply hands them back into it.
    void edit(Values &page);
    void load(Values &page);

    Navigator &classNavigator() const { return *m_classes; }
    Navigator &animationNavigator() const { return *m_animations; }

protected:
    void takeWorkingCopy() override;
    void refill() override;
    bool keepShown() override;
    void handBack() override;

private:
    size_t shownEntry() const;

    FieldForm *m_form;
    FieldForm *m_soundForm;
    Navigator *m_classes;
    Navigator *m_animations;
    Values *m_page = nullptr;
    std::vector<Values> m_entries;
    std::vector<Values> m_sounds;
};

// The 21 weapon batteries; the texts of their gunpoints and firing masks lie in runs of their
// own, eight per battery.
class GenericBatteryWindow : public BatteryWindow
{
    Q_OBJECT

public:
    explicit GenericBatteryWindow(UserDialogs &dialogs, QWidget *parent = nullptr);

    // Takes the page whose batteries to edit; Apply hands them back into it.
    void edit(Values &page);
    void load(Values &page);

protected:
    void takeWorkingCopy() override;
    void handBack() override;

    Values &battery(int b) override;
    Values &gunpointName(int b, int g) override;
    Values &maskSound(int b, int m) override;

private:
    Values *m_page = nullptr;
    std::vector<Values> m_batteries;
    std::vector<Values> m_gunpointNames;
    std::vector<Values> m_maskSounds;
};
