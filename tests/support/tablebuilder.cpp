#include "tablebuilder.h"

#include <QFile>

#include <stdexcept>

namespace testsupport {

QByteArray record(quint8 kind, quint16 version, const QByteArray &body)
{
    return Bytes().u8(kind).u32(quint32(body.size() + 6)).u16(version).raw(body);
}

QByteArray recordWithLength(quint8 kind, quint32 length, const QByteArray &rest)
{
    return Bytes().u8(kind).u32(length).raw(rest);
}

QByteArray SoundPage::record() const
{
    Bytes body;
    body.str(name).str(waveFile).i32(flags).i32(loopStart).i32(loopEnd).f32(outerConeVolume);
    body.i32(innerConeAngle).i32(outerConeAngle).f32(maxDistance).f32(minDistance);
    return testsupport::record(kind::sound, version, body.f32(importAdjust));
}

QByteArray DoorPage::record() const
{
    Bytes body;
    body.str(name).str(model).f32(openingTime).f32(closingTime).f32(timeOpen).u8(flags);
    body.u16(hitPoints).str(openSound).str(closeSound).str(module);
    return testsupport::record(kind::door, version, body);
}

TexturePage proceduralTexture(int elements)
{
    TexturePage page;
    page.name = "Fire plasma";
    page.bitmap = "fire.qbf";
    page.destroyedBitmap = "ash.qbf";
    page.light = { 1, 0.8f, 0.2f, 1, 0.5f, -0.25f, 2, 0.125f };
    page.corona = 2;
    page.damage = -40;
    page.flags = qint32(0x80000040u); // Animated and Smooth Specular
    page.soundName = "Fire crackle";
    page.soundVolume = 0.75f;
    ProceduralBlock block;
    for (int i = 0; i < 255; ++i)
        block.palette[i] = quint16(i * 257);
    block.heat = 200;
    block.light = 3;
    block.thickness = 255;
    block.evaluationTime = 0.05f;
    block.oscillationTime = 1.5f;
    block.oscillationValue = 7;
    block.elements.clear();
    for (int i = 0; i < elements; ++i)
        block.elements.append({ quint8(i), 20, 3, 4, 10, quint8(250 - i), 50, 255 });
    page.procedural = block;
    return page;
}

namespace {
// Longer than the 35 characters an edit field shows.
const QByteArray kLongText = "A name well past the thirty-five characters shown";
} // namespace

WeaponPage awkwardWeapon()
{
    WeaponPage page;
    page.name = kLongText;
    page.fireImage = kLongText + ".qmf";
    page.particleCount = 200;
    page.particleLife = 0.333333f;
    page.flags = qint32(0x80000001u);
    page.gravityToThrust = { 1.23456f, 2, 3e-7f, -0.0f, 5.55555f, 6 };
    for (size_t i = 0; i < page.physics.size(); ++i)
        page.physics[i] = 0x3f9e0419u + quint32(i); // about 1.23456, never four-digit exact
    page.physics[3] = 0x80000005u; // the flags
    page.physics[6] = quint32(-1); // infinite bounces
    page.alpha = 0.7f;
    page.explosion = { 0.1f, 0.2f, 0.3f, 123.456f, 5, 6, 7, 8, 9, 10.0001f };
    for (size_t i = 0; i < page.lighting.size(); ++i)
        page.lighting[i] = 0x3dcccccdu + quint32(i); // about 0.1
    page.lighting[10] = 0x27fu; // flags with bit 9, which has no item
    page.lighting[11] = 12345;
    page.angle = 200;
    page.renderType = 5; // no such render type
    page.sounds = { "fire", "", kLongText, "hit", "", "", "end" };
    page.icon = kLongText;
    return page;
}

ShipPage awkwardShip()
{
    ShipPage page;
    page.name = kLongText;
    page.models[2] = kLongText + ".qmf";
    page.mediumLod = 0.333333f;
    page.lowLod = 123.456f;
    for (size_t i = 0; i < page.physics.size(); ++i)
        page.physics[i] = 0x3f9e0419u + quint32(i);
    page.physics[3] = 0x80000005u;
    page.size = 1.23456f;
    page.armorScalar = -0.0f;
    page.flags = 3; // bit 1 has no item
    for (size_t w = 0; w < page.weapons.size(); ++w) {
        ShipWeapon &weapon = page.weapons[w];
        const auto n = quint8(w + 1);
        weapon.fireFlags = quint8(0xf8 | (n & 7)); // bits 3 to 7 have no item
        weapon.fireSound = "fire " + QByteArray::number(n);
        weapon.releaseSound = w % 2 ? kLongText : QByteArray();
        weapon.spewPowerup = "spew";
        weapon.maxAmmo = -n;
        Battery &battery = weapon.battery;
        battery.energyUsage = 0.1f * float(n);
        battery.ammoUsage = 1.0f / float(n);
        for (size_t i = 0; i < 8; ++i) {
            battery.gunpointIndex[i] = quint16(65535 - i);
            battery.masks[i] = { quint8(255 - i), { 0.123456f * float(i), 2, 3e-7f, 4.44444f, 5 } };
            weapon.maskSounds[i] = "sound " + QByteArray::number(quint64(i));
            weapon.gunpointNames[i] = i == 7 ? kLongText : "gun " + QByteArray::number(quint64(i));
        }
        battery.maskCount = 8;
        battery.aimingGunpoint = 7;
        battery.aimingFlags = 0xa5;
        battery.aiming = { 0.707107f, 1000.5f, -0.5f };
        battery.flags = quint16(0xf000 | n); // bits 12 to 15 have no item
        battery.quadFireMask = 0x81;
    }
    return page;
}

GenericPage awkwardGeneric()
{
    GenericPage page;
    page.objectType = 7;
    page.name = kLongText;
    page.images[0] = kLongText + ".qmf";
    page.impact = { 0.333333f, -0.0f, 123.456f };
    page.score = 65535;
    page.ammo = 40000;
    page.spareA = "spare A";
    page.spareFlag = 1;
    page.spareB = kLongText;
    page.spareC = "spare C";
    page.moduleName = "module";
    page.mediumLod = 1.23456f;
    for (size_t i = 0; i < page.physics.size(); ++i)
        page.physics[i] = 0x3f9e0419u + quint32(i);
    page.physics[3] = 0x80000005u;
    for (size_t i = 0; i < page.lighting.size(); ++i)
        page.lighting[i] = 0x3dcccccdu + quint32(i);
    page.lighting[10] = 0x27fu;
    page.renderType = 9;
    page.hitPoints = -7;
    page.flags = qint32(0x80104003u); // bits 20 and 31 have no item
    page.ai = { 65, 3, 12, 1, 4, {}, 7, {} }; // AI type 12 has no item
    for (size_t i = 0; i < page.ai.values.size(); ++i)
        page.ai.values[i] = 0.1f * float(i + 1);
    page.ai.floats = { 0.707107f, 55.5555f, 3e-7f, 1 };
    page.spew = { { GenericPage::Spew { 3, 0.333333f, 2, "Shield orb" },
                    GenericPage::Spew { 0xfe, 1, 65535, kLongText } } };
    for (size_t i = 0; i < page.animations.size(); ++i) {
        page.animations[i] = { quint16(i), quint16(65535 - i), 0.0416667f * float(i) };
        page.animationSounds[i] =
            i % 24 == 23 ? kLongText : "anim " + QByteArray::number(quint64(i));
    }
    for (size_t b = 0; b < page.batteries.size(); ++b) {
        Battery &battery = page.batteries[b];
        battery.energyUsage = 0.1f * float(b + 1);
        battery.gunpointIndex.fill(quint16(b));
        battery.masks.fill({ quint8(b), { 0.123456f, 2, 3, 4, 5.55555f } });
        battery.aimingFlags = 0x5a;
        battery.flags = quint16(0x4000 | b);
    }
    for (size_t i = 0; i < page.gunpointNames.size(); ++i) {
        page.gunpointNames[i] = "gun " + QByteArray::number(quint64(i));
        page.maskSounds[i] = i % 8 == 7 ? kLongText : "mask " + QByteArray::number(quint64(i));
    }
    page.sounds = { "idle", "", kLongText, "see", "", "", "die" };
    page.respawnScalar = 0.999999f;
    page.deaths = { { 0xffffffffu, 0.5f, 1.33333f, 40 }, { 2, 0, 0, 60 } };
    return page;
}

QByteArray awkwardPage(quint8 kindByte)
{
    switch (kindByte) {
    case kind::sound: {
        SoundPage page;
        page.name = kLongText;
        page.waveFile = kLongText + ".wav";
        page.flags = qint32(0xfffffe00u | 0x41u);
        page.outerConeVolume = 0.123456f;
        page.maxDistance = 123.456f;
        page.minDistance = -0.0f;
        page.importAdjust = 3.0e-7f;
        return page.record();
    }
    case kind::door: {
        DoorPage page;
        page.name = kLongText;
        page.openingTime = 1.23456f;
        page.closingTime = 98765.4f;
        page.flags = 0xfd;
        page.module = kLongText;
        return page.record();
    }
    case kind::texture: {
        TexturePage page = proceduralTexture(3);
        page.name = kLongText;
        page.light = { 0.333333f, 0.1f, 1.0e-9f, 1, 123.456f, -0.25f, 2, 0.7f };
        page.corona = 9;
        page.procedural->evaluationTime = 0.0123456f;
        page.procedural->oscillationTime = 7.77777f;
        page.soundVolume = 0.999999f;
        return page.record();
    }
    case kind::weapon:
        return awkwardWeapon().record();
    case kind::ship:
        return awkwardShip().record();
    case kind::generic:
        return awkwardGeneric().record();
    default:
        return {};
    }
}

QByteArray TexturePage::record() const
{
    Bytes body;
    body.str(name).str(bitmap).str(destroyedBitmap).each(light, &Bytes::f32).u8(corona);
    const qint32 flag = 1 << 24;
    body.i32(damage).i32(procedural ? flags | flag : flags & ~flag);
    if (procedural) {
        body.each(procedural->palette, &Bytes::u16);
        body.u8(procedural->heat).u8(procedural->light).u8(procedural->thickness);
        body.f32(procedural->evaluationTime).f32(procedural->oscillationTime);
        body.u8(procedural->oscillationValue).u16(quint16(procedural->elements.size()));
        for (const auto &element : procedural->elements)
            body.each(element, &Bytes::u8);
    }
    body.str(soundName).f32(soundVolume);
    return testsupport::record(kind::texture, version, body);
}

// A new page's texts and numbers after its name are zero bytes, but for a generic page's
// count of death types, which is 1 and followed by that death type's 13 bytes.
QByteArray WeaponPage::record() const
{
    Bytes body;
    body.str(name).str(hudImage).str(fireImage).str(particleName).u8(particleCount);
    body.f32(particleLife).f32(particleSize).i32(flags).str(spawnName).u8(spawnCount);
    body.str(robotSpawn).str(alternate).u8(alternateChance).each(gravityToThrust, &Bytes::f32);
    body.each(physics, &Bytes::u32).f32(terrainDamageSize).u8(terrainDamageDepth).f32(alpha);
    body.str(explosionImage).each(explosion, &Bytes::f32).each(lighting, &Bytes::u32);
    body.u8(angle).u8(renderType).f32(recoil).each(sounds, &Bytes::str);
    body.str(smokeName).str(scorchImage).f32(scorchSize).str(icon);
    return testsupport::record(kind::weapon, version, body);
}

QByteArray weaponPage(const QByteArray &name)
{
    return named<WeaponPage>(name);
}

QByteArray GenericPage::record() const
{
    Bytes body;
    body.u8(objectType).str(name).each(images, &Bytes::str).each(impact, &Bytes::f32).u16(score);
    if (objectType == 7)
        body.u16(ammo);
    body.str(spareA).str(moduleName).str(scriptOverride).u8(spareFlag);
    if (spareFlag == 1)
        body.str(spareB);
    body.str(spareC).f32(mediumLod).f32(lowLod).each(physics, &Bytes::u32).f32(size);
    body.each(lighting, &Bytes::u32).u8(angle).u8(renderType).i32(hitPoints).i32(flags);
    body.u32(ai.flags).u8(ai.aiClass).u8(ai.type).u8(ai.movementType).u8(ai.movementSubtype);
    body.each(ai.floats, &Bytes::f32).u32(ai.notifyFlags).each(ai.values, &Bytes::f32);
    for (const Spew &slot : spew)
        body.u8(slot.flags).f32(slot.chance).u16(slot.number).str(slot.object);
    for (const Animation &animation : animations)
        body.u16(animation.fromFrame).u16(animation.toFrame).f32(animation.seconds);
    for (const Battery &battery : batteries)
        battery.append(body);
    body.each(gunpointNames, &Bytes::str).each(sounds, &Bytes::str);
    body.each(maskSounds, &Bytes::str).each(animationSounds, &Bytes::str);
    body.f32(respawnScalar).u16(quint16(deaths.size()));
    for (const Death &death : deaths)
        body.u32(death.flags).f32(death.minDelay).f32(death.maxDelay).u8(death.probability);
    return testsupport::record(kind::generic, version, body);
}

QByteArray genericPage(const QByteArray &name, quint8 objectType)
{
    GenericPage page;
    page.name = name;
    page.objectType = objectType;
    return page.record();
}

void Battery::append(Bytes &bytes) const
{
    bytes.f32(energyUsage).f32(ammoUsage).each(gunpointIndex, &Bytes::u16);
    for (const Mask &mask : masks)
        bytes.u8(mask.fireMask).each(mask.times, &Bytes::f32);
    bytes.u8(maskCount).u16(aimingGunpoint).u8(aimingFlags).each(aiming, &Bytes::f32);
    bytes.u16(flags).u8(quadFireMask);
}

QByteArray ShipPage::record() const
{
    Bytes body;
    body.str(name).each(models, &Bytes::str).f32(mediumLod).f32(lowLod);
    body.each(physics, &Bytes::u32).f32(size).f32(armorScalar).i32(flags);
    for (const ShipWeapon &weapon : weapons) {
        body.u8(weapon.fireFlags).str(weapon.fireSound).str(weapon.releaseSound);
        body.str(weapon.spewPowerup).i32(weapon.maxAmmo);
        weapon.battery.append(body);
        body.each(weapon.maskSounds, &Bytes::str).each(weapon.gunpointNames, &Bytes::str);
    }
    return testsupport::record(kind::ship, version, body);
}

QByteArray shipPage(const QByteArray &name)
{
    return named<ShipPage>(name);
}

QByteArray passThroughRecord(const QByteArray &body, quint16 version)
{
    return record(kind::passThrough, version, body);
}

QByteArray sound(const QByteArray &name, float maxDistance)
{
    SoundPage page;
    page.name = name;
    page.maxDistance = maxDistance;
    return page.record();
}

QByteArray table(const QList<QByteArray> &records)
{
    QByteArray bytes;
    for (const QByteArray &r : records)
        bytes += r;
    return bytes;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        throw std::runtime_error("cannot write test file " + path.toStdString());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read test file " + path.toStdString());
    return file.readAll();
}

QByteArray demoTable()
{
    QList<QByteArray> records;
    auto texture = [](QByteArray name, QByteArray bitmap, float red, float green, float blue) {
        TexturePage page;
        page.name = name;
        page.bitmap = bitmap;
        page.light = { red, green, blue, 1.0f, 0, 0, 0, 0.25f };
        return page;
    };
    records << texture("Rock wall", "rockwall.qbf", 0, 0, 0).record();
    records << texture("Lava floor", "lava01.qbf", 1.0f, 0.45f, 0.1f).record();
    TexturePage fire = texture("Fire plasma", "fireplasma.qbf", 1.0f, 0.8f, 0.2f);
    fire.flags = (1 << 6) | (1 << 19);
    ProceduralBlock block;
    block.heat = 200;
    block.evaluationTime = 0.05f;
    block.elements = { { 1, 20, 3, 4, 10, 10, 50, 50 }, { 2, 10, 5, 2, 20, 30, 40, 60 } };
    fire.procedural = block;
    records << fire.record();
    records << texture("Metal plate", "metal02.qbf", 0, 0, 0).record();

    SoundPage laser;
    laser.name = "Laser fire";
    laser.waveFile = "laser1.wav";
    laser.maxDistance = 120.0f;
    laser.minDistance = 5.0f;
    laser.importAdjust = 1.0f;
    records << laser.record();
    SoundPage hum;
    hum.name = "Engine hum";
    hum.waveFile = "enghum.wav";
    hum.flags = 1 | (1 << 3);
    hum.loopEnd = 22050;
    hum.maxDistance = 80.0f;
    records << hum.record();
    SoundPage door;
    door.name = "door open";
    door.waveFile = "dooropen.wav";
    records << door.record();

    records << weaponPage("Laser") << weaponPage("Homing rocket");
    records << genericPage("Sentry drone") << genericPage("Shield orb", 7)
            << genericPage("Cargo crate", 11);

    DoorPage hangar;
    hangar.name = "Hangar door";
    hangar.model = "hangar.qmf";
    hangar.openingTime = 1.5f;
    hangar.closingTime = 1.5f;
    hangar.timeOpen = 4.0f;
    hangar.openSound = "door open";
    records << hangar.record();
    DoorPage grate;
    grate.name = "Blast grate";
    grate.model = "grate.qmf";
    grate.flags = 1 | 2;
    grate.hitPoints = 300;
    records << grate.record();

    ShipPage falcon;
    falcon.name = "Falcon";
    falcon.models = { "falcon_ck.qmf",  "falcon.inf",     "falcon.qmf",
                      "falcon_die.qmf", "falcon_med.qmf", "falcon_low.qmf" };
    falcon.mediumLod = 300.0f;
    falcon.lowLod = 800.0f;
    falcon.physics[0] = std::bit_cast<quint32>(2.5f); // mass
    falcon.physics[1] = std::bit_cast<quint32>(0.02f); // drag
    falcon.size = 4.0f;
    falcon.armorScalar = 1.0f;
    falcon.flags = 1;
    ShipWeapon &guns = falcon.weapons[0];
    guns.fireSound = "Laser fire";
    guns.maxAmmo = 0;
    guns.battery.energyUsage = 0.5f;
    guns.battery.maskCount = 2;
    guns.battery.flags = 1 << 4;
    guns.battery.masks[0] = { 3, { 0.25f, 0.25f, 0, 1, 2 } };
    guns.battery.masks[1] = { 12, { 0.25f, 0.25f, 0, 1, 2 } };
    for (size_t g = 0; g < 4; ++g) {
        guns.battery.gunpointIndex[g] = quint16(g);
        guns.gunpointNames[g] = "Laser";
    }
    guns.maskSounds[0] = "Laser fire";
    ShipWeapon &rocket = falcon.weapons[1];
    rocket.fireFlags = 1;
    rocket.spewPowerup = "Shield orb";
    rocket.maxAmmo = 20;
    rocket.battery.ammoUsage = 1.0f;
    rocket.battery.maskCount = 1;
    rocket.battery.masks[0] = { 1, { 1.0f, 0, 0, 0, 0 } };
    rocket.gunpointNames[0] = "Homing rocket";
    records << falcon.record() << shipPage("Sparrow");

    records << passThroughRecord(Bytes().str("level settings").i32(3).f32(9.81f));
    return table(records);
}

} // namespace testsupport
