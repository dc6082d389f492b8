#pragma once

#include <memory>

class LightingWindow;
class PhysicsWindow;
class QWidget;
class UserDialogs;

// The settings windows that several editors open: one of each for the whole program. Each
// shows the block of the page shown by the editor that opens it.
class SharedDialogs
{
public:
    SharedDialogs(UserDialogs &dialogs, QWidget *parent);
    ~SharedDialogs();

    PhysicsWindow &physics() const { return *m_physics; }
    LightingWindow &lighting() const { return *m_lighting; }

private:
    std::unique_ptr<PhysicsWindow> m_physics;
    std::unique_ptr<LightingWindow> m_lighting;
};
