#include "shareddialogs.h"

#include "lighting.h"
#include "physics.h"

SharedDialogs::SharedDialogs(UserDialogs &dialogs, QWidget *parent)
    : m_physics(std::make_unique<PhysicsWindow>(dialogs, parent))
    , m_lighting(std::make_unique<LightingWindow>(dialogs, parent))
{ }

// The windows go here, so a parent given at construction must outlive this object.
SharedDialogs::~SharedDialogs() = default;
