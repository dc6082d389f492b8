#include "shareddialogs.h"

#include "lighting.h"
#include "physics.h"

SharedDialogs::SharedDialogs(UserDialogs &dialogs, QWidget &parent)
    : m_dialogs(dialogs)
    , m_parent(parent)
{ }

PhysicsWindow &SharedDialogs::physics()
{
    if (!m_physics)
        m_physics = new PhysicsWindow(m_dialogs, &m_parent);
    return *m_physics;
}

LightingWindow &SharedDialogs::lighting()
{
    if (!m_lighting)
        m_lighting = new LightingWindow(m_dialogs, &m_parent);
    return *m_lighting;
}
