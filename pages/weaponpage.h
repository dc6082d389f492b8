#pragma once

#include "layout.h"

#include <array>

// The weapon page body: models and images, particles, what it spawns, damage, explosion and
// impact, and the physics block, the lighting block and seven sound slots.
namespace WeaponPage {

enum Field {
    Name,
    HudImage,
    FireImage,
    ParticleName,
    ParticleCount,
    ParticleLife,
    ParticleSize,
    Flags,
    SpawnName,
    SpawnCount,
    RobotSpawn,
    Alternate,
    AlternateChance,
    GravityTime,
    GravitySize,
    HomingFov,
    CustomSize,
    RealSize,
    ThrustTime,
    Physics,
    TerrainDamageSize,
    TerrainDamageDepth,
    Alpha,
    ExplosionImage,
    ExplodeTime,
    ExplodeSize,
    PlayerDamage,
    ObjectDamage,
    ImpactSize,
    ImpactTime,
    ImpactPlayerDamage,
    ImpactGenericDamage,
    ImpactForce,
    Lifetime,
    Lighting,
    RecoilForce,
    Sounds,
    SmokeName,
    ScorchImage,
    ScorchSize,
    Icon,
    ItemCount
};

extern const std::array<const char *, 32> flagItems;
extern const Layout layout;

} // namespace WeaponPage
