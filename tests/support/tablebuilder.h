#pragma once

// Builds page records and whole table files in code, for the tests, the benchmarks and the
// demo table. Nothing here uses the engine's codecs, so tests compare the engine against
// an independent encoding of the record format.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtEndian>

#include <array>
#include <bit>
#include <optional>

namespace testsupport {

// Little-endian fields appended in order.
class Bytes
{
public:
    Bytes &str(const QByteArray &text) { return raw(text).u8(0); } // the text and its NUL
    Bytes &u8(quint8 value) { return little(value); }
    Bytes &u16(quint16 value) { return little(value); }
    Bytes &i32(qint32 value) { return little(value); }
    Bytes &u32(quint32 value) { return little(value); }
    Bytes &f32(float value) { return u32(std::bit_cast<quint32>(value)); }
    Bytes &zeros(int count) { return raw(QByteArray(count, '\0')); }
    Bytes &raw(const QByteArray &bytes)
    {
        m_bytes.append(bytes);
        return *this;
    }
    // Every value of a run, each appended as append does.
    template<typename Run, typename Value>
    Bytes &each(const Run &run, Bytes &(Bytes::*append)(Value))
    {
        for (const auto &value : run)
            (this->*append)(value);
        return *this;
    }

    const QByteArray &bytes() const { return m_bytes; }
    operator QByteArray() const { return m_bytes; }

private:
    template<typename T> Bytes &little(T value)
    {
        char buffer[sizeof(T)];
        qToLittleEndian(value, buffer);
        return raw(QByteArray(buffer, sizeof buffer));
    }

    QByteArray m_bytes;
};

namespace kind {
inline constexpr quint8 texture = 1, weapon = 2, door = 5, ship = 6, sound = 7, passThrough = 9,
                        generic = 10;
}

// A record whose length field matches its body.
QByteArray record(quint8 kind, quint16 version, const QByteArray &body);
// A record with any length field: for damaged tables. rest follows the length field.
QByteArray recordWithLength(quint8 kind, quint32 length, const QByteArray &rest);

struct SoundPage
{
    QByteArray name = "New Sound";
    QByteArray waveFile;
    qint32 flags = 0, loopStart = 0, loopEnd = 0;
    float outerConeVolume = 0;
    qint32 innerConeAngle = 0, outerConeAngle = 0;
    float maxDistance = 0, minDistance = 0, importAdjust = 0;
    quint16 version = 1;

    QByteArray record() const;
};

struct DoorPage
{
    QByteArray name = "New Door";
    QByteArray model;
    float openingTime = 0, closingTime = 0, timeOpen = 0;
    quint8 flags = 0;
    quint16 hitPoints = 0;
    QByteArray openSound, closeSound, module;
    quint16 version = 3;

    QByteArray record() const;
};

struct ProceduralBlock
{
    std::array<quint16, 255> palette {};
    quint8 heat = 0, light = 0, thickness = 0;
    float evaluationTime = 0, oscillationTime = 0;
    quint8 oscillationValue = 0;
    QList<std::array<quint8, 8>> elements { {} };
};

struct TexturePage
{
    QByteArray name = "New Texture";
    QByteArray bitmap, destroyedBitmap;
    std::array<float, 8> light {}; // red, green, blue, alpha, speed, U slide, V slide, reflectivity
    quint8 corona = 0;
    qint32 damage = 0;
    qint32 flags = 0; // bit 24 set when procedural is given
    std::optional<ProceduralBlock> procedural;
    QByteArray soundName;
    float soundVolume = 0;
    quint16 version = 7;

    QByteArray record() const;
};

struct WeaponPage
{
    QByteArray name = "New Weapon";
    QByteArray hudImage, fireImage, particleName;
    quint8 particleCount = 0;
    float particleLife = 0, particleSize = 0;
    qint32 flags = 0;
    QByteArray spawnName;
    quint8 spawnCount = 0;
    QByteArray robotSpawn, alternate;
    quint8 alternateChance = 0;
    std::array<float, 6> gravityToThrust {}; // gravity time, G size, homing FOV, custom and
                                             // real size, thrust time
    std::array<quint32, 17> physics {}; // the block's words as stored: floats' bits, flags, bounces
    float terrainDamageSize = 0;
    quint8 terrainDamageDepth = 0;
    float alpha = 0;
    QByteArray explosionImage;
    std::array<float, 10> explosion {}; // explode time to lifetime
    std::array<quint32, 12> lighting {}; // ten floats' bits, the flags, the time bits
    quint8 angle = 0, renderType = 0;
    float recoil = 0;
    std::array<QByteArray, 7> sounds;
    QByteArray smokeName, scorchImage;
    float scorchSize = 0;
    QByteArray icon;
    quint16 version = 8;

    QByteArray record() const;
};

// The weapon awkwardPage gives.
WeaponPage awkwardWeapon();

// The numbers of a weapon battery, as ship and generic pages store them.
struct Battery
{
    struct Mask
    {
        quint8 fireMask = 0;
        std::array<float, 5> times {}; // fire wait, animation time, start, fire and end frame
    };
    float energyUsage = 0, ammoUsage = 0;
    std::array<quint16, 8> gunpointIndex {};
    std::array<Mask, 8> masks {};
    quint8 maskCount = 0;
    quint16 aimingGunpoint = 0;
    quint8 aimingFlags = 0;
    std::array<float, 3> aiming {}; // dot, distance, XZ dot
    quint16 flags = 0;
    quint8 quadFireMask = 0;

    void append(Bytes &bytes) const;
};

struct ShipWeapon
{
    quint8 fireFlags = 0;
    QByteArray fireSound, releaseSound, spewPowerup;
    qint32 maxAmmo = 0;
    Battery battery;
    std::array<QByteArray, 8> maskSounds, gunpointNames;
};

struct ShipPage
{
    QByteArray name = "New Ship";
    std::array<QByteArray, 6> models; // cockpit, HUD config, model, dying, medium and low model
    float mediumLod = 0, lowLod = 0;
    std::array<quint32, 17> physics {};
    float size = 0, armorScalar = 0;
    qint32 flags = 0;
    std::array<ShipWeapon, 21> weapons {};
    quint16 version = 6;

    QByteArray record() const;
};

// The ship awkwardPage gives: every weapon filled.
ShipPage awkwardShip();

struct GenericPage
{
    struct Ai
    {
        quint32 flags = 0;
        quint8 aiClass = 0, type = 0, movementType = 0, movementSubtype = 0;
        std::array<float, 4> floats {}; // FOV, max velocity, max delta velocity, max turn rate
        quint32 notifyFlags = 0;
        std::array<float, 27> values {};
    };
    struct Spew
    {
        quint8 flags = 0;
        float chance = 0;
        quint16 number = 0;
        QByteArray object;
    };
    struct Animation
    {
        quint16 fromFrame = 0, toFrame = 0;
        float seconds = 0;
    };
    struct Death
    {
        quint32 flags = 0;
        float minDelay = 0, maxDelay = 0;
        quint8 probability = 0;
    };

    quint8 objectType = 2; // 2 robot, 7 powerup (which has the ammo), 11 clutter, 16 building
    QByteArray name = "New Generic";
    std::array<QByteArray, 3> images; // high, medium and low resolution
    std::array<float, 3> impact {}; // impact size, impact time, damage
    quint16 score = 0, ammo = 0;
    QByteArray spareA, moduleName, scriptOverride;
    quint8 spareFlag = 0; // 1: spare text B follows
    QByteArray spareB, spareC;
    float mediumLod = 0, lowLod = 0;
    std::array<quint32, 17> physics {};
    float size = 0;
    std::array<quint32, 12> lighting {};
    quint8 angle = 0, renderType = 0;
    qint32 hitPoints = 0, flags = 0;
    Ai ai;
    std::array<Spew, 2> spew {};
    std::array<Animation, 120> animations {}; // class-major, 24 per class
    std::array<Battery, 21> batteries {};
    std::array<QByteArray, 168> gunpointNames; // battery-major, 8 per battery
    std::array<QByteArray, 7> sounds; // two sound names, five AI sound names
    std::array<QByteArray, 168> maskSounds;
    std::array<QByteArray, 120> animationSounds;
    float respawnScalar = 0;
    QList<Death> deaths = { Death() };
    quint16 version = 27;

    QByteArray record() const;
};

// The generic awkwardPage gives: a powerup with spare texts, every block filled.
GenericPage awkwardGeneric();

// A new page of the kind with only the name set (and a generic page's object type).
QByteArray weaponPage(const QByteArray &name = "New Weapon");
QByteArray genericPage(const QByteArray &name = "New Generic", quint8 objectType = 2);
QByteArray shipPage(const QByteArray &name = "New Ship");

QByteArray passThroughRecord(const QByteArray &body, quint16 version = 2);

// A new page of its kind with only the name changed.
template<typename Page> QByteArray named(const QByteArray &name)
{
    Page page;
    page.name = name;
    return page.record();
}

// Short forms for tests that only care about names.
QByteArray sound(const QByteArray &name, float maxDistance = 0);
inline QByteArray texture(const QByteArray &name)
{
    return named<TexturePage>(name);
}

// A procedural texture with every field and setting set and `elements` elements; its flags
// include the sign bit, its floats show as they are stored.
TexturePage proceduralTexture(int elements);

// A page of the kind that the texts an editor shows cannot reproduce: floats that are not
// four-digit exact, texts longer than 35 characters, bits without a check-list item, a code
// without a drop-down item. Selected and applied unchanged, it must come back byte for byte.
// An empty result for a kind that has no such page yet.
QByteArray awkwardPage(quint8 kind);

// A table file is its records one after another.
QByteArray table(const QList<QByteArray> &records);

// Writes bytes to path, replacing it; fails the calling test on error.
void writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// The demo table of samples/: a handful of pages of every kind.
QByteArray demoTable();

} // namespace testsupport
