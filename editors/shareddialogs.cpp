#include "shareddialogs.h"

#include "lighting.h"
#include "physics.h"

SharedDialogs::SharedDialogs(UserDialogs &dialogs, QWidget &parent)
    : m_physics(new PhysicsWindow(dialogs, &parent))
    , m_lighting(new LightingWindow(dialogs, &parent))
{ }
