#pragma once

class LightingWindow;
class PhysicsWindow;
class QWidget;
class UserDialogs;

// The settings windows that several editors open: one of each for the whole program. Each
// shows the block of the page shown by the editor that opens it. The windows are children of
// the parent given, which owns them.
class SharedDialogs
{
public:
    SharedDialogs(UserDialogs &dialogs, QWidget &parent);

    PhysicsWindow &physics() const { return *m_physics; }
    LightingWindow &lighting() const { return *m_lighting; }

private:
    PhysicsWindow *m_physics;
    LightingWindow *m_lighting;
};
