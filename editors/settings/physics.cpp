#include "physics.h"

#include "sharedblocks.h"

using namespace Qt::StringLiterals;

namespace {
// Thrust and the flags; rotation and velocity; wiggle, restitution and turn-roll.
constexpr std::array kColumns = { int(PhysicsBlock::Mass), int(PhysicsBlock::RotationalDrag),
                                  int(PhysicsBlock::WiggleAmplitude) };
} // namespace

PhysicsWindow::PhysicsWindow(UserDialogs &dialogs, QWidget *parent)
    : BlockWindow(
          dialogs, PhysicsBlock::layout, kColumns,
          { u"Physics"_s,
            u"physics"_s,
            { u"Apply modifications done to the physics."_s, u"Close the physics dialog."_s } },
          parent)
{ }
