#include "tablebuilder.h"

#include <QFile>
#include <QtEndian>

#include <cstring>
#include <stdexcept>

namespace testsupport {

template<typename T> static void appendLittleEndian(QByteArray &bytes, T value)
{
    char buffer[sizeof(T)];
    qToLittleEndian(value, buffer);
    bytes.append(buffer, sizeof buffer);
}

Bytes &Bytes::str(const QByteArray &text)
{
    m_bytes.append(text);
    m_bytes.append('\0');
    return *this;
}

Bytes &Bytes::u8(quint8 value)
{
    m_bytes.append(char(value));
    return *this;
}

Bytes &Bytes::u16(quint16 value)
{
    appendLittleEndian(m_bytes, value);
    return *this;
}

Bytes &Bytes::i32(qint32 value)
{
    appendLittleEndian(m_bytes, value);
    return *this;
}

Bytes &Bytes::u32(quint32 value)
{
    appendLittleEndian(m_bytes, value);
    return *this;
}

Bytes &Bytes::f32(float value)
{
    quint32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    return u32(bits);
}

Bytes &Bytes::zeros(int count)
{
    m_bytes.append(count, '\0');
    return *this;
}

Bytes &Bytes::raw(const QByteArray &bytes)
{
    m_bytes.append(bytes);
    return *this;
}

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
    const QByteArray body = Bytes()
                                .str(name)
                                .str(waveFile)
                                .i32(flags)
                                .i32(loopStart)
                                .i32(loopEnd)
                                .f32(outerConeVolume)
                                .i32(innerConeAngle)
                                .i32(outerConeAngle)
                                .f32(maxDistance)
                                .f32(minDistance)
                                .f32(importAdjust);
    return testsupport::record(kind::sound, version, body);
}

QByteArray DoorPage::record() const
{
    const QByteArray body = Bytes()
                                .str(name)
                                .str(model)
                                .f32(openingTime)
                                .f32(closingTime)
                                .f32(timeOpen)
                                .u8(flags)
                                .u16(hitPoints)
                                .str(openSound)
                                .str(closeSound)
                                .str(module);
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

QByteArray TexturePage::record() const
{
    Bytes body;
    body.str(name).str(bitmap).str(destroyedBitmap);
    for (float value : light)
        body.f32(value);
    body.u8(corona).i32(damage);
    qint32 storedFlags = flags;
    if (procedural)
        storedFlags |= 1 << 24;
    else
        storedFlags &= ~(1 << 24);
    body.i32(storedFlags);
    if (procedural) {
        for (quint16 colour : procedural->palette)
            body.u16(colour);
        body.u8(procedural->heat).u8(procedural->light).u8(procedural->thickness);
        body.f32(procedural->evaluationTime).f32(procedural->oscillationTime);
        body.u8(procedural->oscillationValue).u16(quint16(procedural->elements.size()));
        for (const auto &element : procedural->elements) {
            for (quint8 value : element)
                body.u8(value);
        }
    }
    body.str(soundName).f32(soundVolume);
    return testsupport::record(kind::texture, version, body);
}

namespace {

// The physics block (68 bytes) and the lighting block (50 bytes) of a new page.
constexpr int kPhysicsBytes = 68;
constexpr int kLightingBytes = 50;

} // namespace

QByteArray WeaponPage::record() const
{
    Bytes body;
    body.str(name).str(hudImage).str(fireImage).str({}); // particle name
    body.u8(0).f32(0).f32(0); // particle count, life, size
    body.u32(0); // weapon flags
    body.str({}).u8(0); // spawn name, count
    body.str({}).str({}).u8(0); // robot spawn, alternate, chance
    body.zeros(6 * 4); // gravity time .. thrust time
    body.zeros(kPhysicsBytes);
    body.f32(0).u8(0).f32(0); // terrain damage size, depth, alpha
    body.str({}); // explosion image
    body.f32(0).f32(0).f32(playerDamage);
    body.zeros(7 * 4); // object damage .. lifetime
    body.zeros(kLightingBytes);
    body.f32(0); // recoil
    for (const QByteArray &slot : soundSlots)
        body.str(slot);
    body.str({}).str({}).f32(0).str({}); // smoke, scorch image, scorch size, icon
    return testsupport::record(kind::weapon, version, body);
}

QByteArray ShipPage::record() const
{
    Bytes body;
    body.str(name).str({}).str({}).str(model).str({}).str({}).str({});
    body.f32(0).f32(0); // LOD distances
    body.zeros(kPhysicsBytes);
    body.f32(size).f32(0).i32(0); // size, armor scalar, flags
    for (const QByteArray &weapon : firstGunpointWeapon) {
        body.u8(0).str({}).str({}).str({}); // fire flags, fire/release sound, spew powerup
        body.i32(0).f32(0).f32(0); // max ammo, energy usage, ammo usage
        body.zeros(8 * 2); // gunpoint weapon indexes
        body.zeros(8 * 21); // firing masks
        body.u8(0).u16(0).u8(0); // number of masks, aiming gunpoint, aiming flags
        body.f32(0).f32(0).f32(0); // aiming dot, distance, XZ dot
        body.u16(0).u8(0); // battery flags, quad fire mask
        for (int mask = 0; mask < 8; ++mask)
            body.str({});
        body.str(weapon);
        for (int gunpoint = 1; gunpoint < 8; ++gunpoint)
            body.str({});
    }
    return testsupport::record(kind::ship, version, body);
}

QByteArray GenericPage::record() const
{
    Bytes body;
    body.u8(objectType).str(name).str(model).str({}).str({});
    body.f32(0).f32(0).f32(0).u16(score);
    if (objectType == 7)
        body.u16(ammo);
    body.str({}).str({}).str({}); // spare text A, module, script override
    body.u8(0).str({}); // spare flag (no spare text B), spare text C
    body.f32(0).f32(0); // LOD distances
    body.zeros(kPhysicsBytes);
    body.f32(0); // size
    body.zeros(kLightingBytes);
    body.i32(hitPoints).u32(0); // hit points, flags
    body.zeros(136); // AI block
    for (int spew = 0; spew < 2; ++spew)
        body.u8(0).f32(0).u16(0).str({});
    body.zeros(5 * 24 * 8); // animation entries
    body.zeros(21 * 211); // weapon batteries
    body.zeros(21 * 8 + 2 + 5 + 21 * 8 + 5 * 24); // the empty texts of the blocks
    body.f32(0).u16(quint16(deathTypes)).zeros(13 * deathTypes);
    return testsupport::record(kind::generic, version, body);
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

    WeaponPage laserWeapon;
    laserWeapon.name = "Laser";
    laserWeapon.hudImage = "hudlaser.qbf";
    laserWeapon.fireImage = "laserbolt.qmf";
    laserWeapon.playerDamage = 12.5f;
    laserWeapon.soundSlots[0] = "Laser fire";
    records << laserWeapon.record();
    WeaponPage rocket;
    rocket.name = "Homing rocket";
    rocket.fireImage = "rocket.qmf";
    rocket.playerDamage = 40.0f;
    records << rocket.record();

    GenericPage guard;
    guard.name = "Sentry drone";
    guard.model = "sentry.qmf";
    guard.hitPoints = 150;
    guard.score = 500;
    records << guard.record();
    GenericPage shield;
    shield.objectType = 7;
    shield.name = "Shield orb";
    shield.model = "shieldorb.qmf";
    shield.ammo = 0;
    records << shield.record();
    GenericPage crate;
    crate.objectType = 11;
    crate.name = "Cargo crate";
    crate.model = "crate.qmf";
    records << crate.record();

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

    ShipPage pyro;
    pyro.name = "Falcon";
    pyro.model = "falcon.qmf";
    pyro.size = 4.5f;
    pyro.firstGunpointWeapon[0] = "Laser";
    records << pyro.record();

    records << passThroughRecord(Bytes().str("level settings").i32(3).f32(9.81f));
    return table(records);
}

} // namespace testsupport
