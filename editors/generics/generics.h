#pragma once

#include "pageeditor.h"

class AiWindow;
class ClassesWindow;
class DeathTypesWindow;
class GenericBatteryWindow;
class ObjectSoundsWindow;
class SharedDialogs;
class SpewWindow;

// The generic editor: the generic pages on the common workflow, with the windows of the
// blocks of the page shown.
class GenericEditor : public PageEditor
{
    Q_OBJECT

public:
    GenericEditor(PageLists &lists, UserDialogs &dialogs, SharedDialogs &shared,
                  QWidget *parent = nullptr);

    // The buttons: each opens its window on the page shown, and does nothing without one.
    void editPhysics();
    void editLighting();
    void editAi();
    void editSpew();
    void editClasses();
    void editBatteries();
    void editSounds();
    void editDeaths();

    AiWindow &aiWindow();
    SpewWindow &spewWindow();
    ClassesWindow &classesWindow();
    GenericBatteryWindow &batteriesWindow();
    ObjectSoundsWindow &soundsWindow();
    DeathTypesWindow &deathsWindow();

protected:
    void putBlocks(PageBody &body) const override;

private:
    SharedDialogs &m_shared;
    AiWindow *m_ai = nullptr;
    SpewWindow *m_spew = nullptr;
    ClassesWindow *m_classes = nullptr;
    GenericBatteryWindow *m_batteries = nullptr;
    ObjectSoundsWindow *m_sounds = nullptr;
    DeathTypesWindow *m_deaths = nullptr;
};
