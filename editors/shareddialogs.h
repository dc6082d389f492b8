#pragma once

class LightingWindow;
class PhysicsWindow;
class QWidget;
class UserDialogs;

// The settings windows that several editors open: one of each for the whole program, made when
// first opened. Each shows the block of the page shown by the editor that opens it. The windows
// are children of the parent given, which owns them.
class SharedDialogs
{
public:
    SharedDialogs(UserDialogs &dialogs, QWidget &parent);

    PhysicsWindow &physics();
    LightingWindow &lighting();

private:
    UserDialogs &m_dialogs;
    QWidget &m_parent;
    PhysicsWindow *m_physics = nullptr;
    LightingWindow *m_lighting = nullptr;
};
