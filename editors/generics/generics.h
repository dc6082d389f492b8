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

    AiWindow &aiWindow() const { return *m_ai; }
    SpewWindow &spewWindow() const { return *m_spew; }
    ClassesWindow &classesWindow() const { return *m_classes; }
    GenericBatteryWindow &batteriesWindow() const { return *m_batteries; }
    ObjectSoundsWindow &soundsWindow() const { return *m_sounds; }
    DeathTypesWindow &deathsWindow() const { return *m_deaths; }

protected:
    void putBlocks(PageBody &body) const override;

private:
    SharedDialogs &m_shared;
    AiWindow *m_ai;
    SpewWindow *m_spew;
    ClassesWindow *m_classes;
    GenericBatteryWindow *m_batteries;
    ObjectSoundsWindow *m_sounds;
    DeathTypesWindow *m_deaths;
};
