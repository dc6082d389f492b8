#include "check.h"

#include "tablebuilder.h"
#include "testhelpers.h"

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

QStringList findings(const QByteArray &table)
{
    QStringList lines;
    for (const Finding &finding : checkTable(table))
        lines.append(finding.line());
    return lines;
}

} // namespace

// Each kind of reference once found and once not, in page and field order. "Hum" exists, "hum"
// differs in case; empty names are everywhere else.
TEST(CheckTest, ReportsEveryNameThatNamesNoPage)
{
    TexturePage glass;
    glass.name = "Glass";
    glass.soundName = "hum";
    DoorPage gate;
    gate.name = "Gate";
    gate.openSound = "Hum";
    gate.closeSound = "Clank";
    WeaponPage laser;
    laser.name = "Laser";
    laser.sounds = { "Hum", {}, {}, {}, {}, {}, "Zap" };
    laser.particleName = "Rock";
    laser.explosionImage = "Fire";
    laser.smokeName = "Smoke";
    laser.scorchImage = "rock";
    laser.spawnName = "Drone";
    laser.alternate = "Rocket";
    laser.robotSpawn = "Robot";
    ShipPage falcon;
    falcon.name = "Falcon";
    falcon.weapons[0].fireSound = "Hum";
    falcon.weapons[0].gunpointNames = { "Laser", "Drone" };
    falcon.weapons[0].spewPowerup = "Drone";
    falcon.weapons[1].releaseSound = "Zap";
    falcon.weapons[3].gunpointNames[2] = "Rocket";
    falcon.weapons[3].maskSounds[7] = "Zap";
    falcon.weapons[20].spewPowerup = "Orb";
    GenericPage drone;
    drone.name = "Drone";
    drone.sounds = { "Hum", {}, {}, {}, {}, {}, "Zap" };
    drone.gunpointNames[0] = "Laser";
    drone.gunpointNames[17] = "Rocket";
    drone.maskSounds[2] = "Zap";
    drone.animationSounds[119] = "Zap";
    drone.spew[0].object = "Laser";
    drone.spew[1].object = "Orb";

    EXPECT_EQ(
        findings(table({ sound("Hum"), texture("Rock"), glass.record(), gate.record(),
                         laser.record(), falcon.record(), drone.record() })),
        QStringList({
            uR"(texture "Glass": sound_name: names no sound page "hum")"_s,
            uR"(door "Gate": close_sound: names no sound page "Clank")"_s,
            uR"(weapon "Laser": robot_spawn: names no weapon or generic page "Robot")"_s,
            uR"(weapon "Laser": alternate: names no weapon or generic page "Rocket")"_s,
            uR"(weapon "Laser": explosion_image: names no texture page "Fire")"_s,
            uR"(weapon "Laser": sounds.sound_slot_7: names no sound page "Zap")"_s,
            uR"(weapon "Laser": smoke_name: names no texture page "Smoke")"_s,
            uR"(weapon "Laser": scorch_image: names no texture page "rock")"_s,
            uR"(ship "Falcon": weapons[1].release_sound_name: names no sound page "Zap")"_s,
            uR"(ship "Falcon": weapons[3].mask_sounds[7]: names no sound page "Zap")"_s,
            uR"(ship "Falcon": weapons[3].gunpoint_names[2]: )"
            uR"(names no weapon or generic page "Rocket")"_s,
            uR"(ship "Falcon": weapons[20].spew_powerup_name: )"
            uR"(names no weapon or generic page "Orb")"_s,
            uR"(generic "Drone": spew[1].spew_object: names no weapon or generic page "Orb")"_s,
            uR"(generic "Drone": gunpoint_names[17]: names no weapon or generic page "Rocket")"_s,
            uR"(generic "Drone": sounds.ai_sound_name_5: names no sound page "Zap")"_s,
            uR"(generic "Drone": mask_sounds[2]: names no sound page "Zap")"_s,
            uR"(generic "Drone": animation_sounds[119]: names no sound page "Zap")"_s,
        }));
}

TEST(CheckTest, ReportsDuplicatesAndPagesThatDoNotDecode)
{
    DoorPage old;
    old.name = "Gate";
    old.version = 2;
    GenericPage damaged;
    damaged.name = "Drone";
    damaged.deaths.resize(5);
    ShipPage ship;
    ship.weapons[0].gunpointNames[0] = "Drone"; // the program still lists a damaged page
    ship.weapons[0].fireSound = "Gone"; // but skips one of another version
    SoundPage gone;
    gone.name = "Gone";
    gone.version = 2;

    EXPECT_EQ(
        findings(table({ sound("Hum"), sound("hum"), sound("Hum"), old.record(),
                         named<DoorPage>("Gate"), damaged.record(), gone.record(), ship.record(),
                         sound("Hum"), passThroughRecord("x"), record(3, 1, "unknown kind") }) +
                 weaponPage("Cut").left(40)),
        QStringList({
            uR"(sound "Hum": sound_name: another page of this kind has this name)"_s,
            uR"(door "Gate": page: version 2; the program reads version 3)"_s,
            uR"(generic "Drone": page: damaged page: its death block lists 5 death types; )"
            uR"(at most 4 are allowed)"_s,
            uR"(sound "Gone": page: version 2; the program reads version 1)"_s,
            uR"(ship "New Ship": weapons[0].fire_sound_name: names no sound page "Gone")"_s,
            uR"(sound "Hum": sound_name: another page of this kind has this name)"_s,
            uR"(weapon "Cut": page: cut short: the file ends 40 bytes into this page)"_s,
        }));
}

// Check table names a field by the windows that lead to it, `vktable check` by its key.
TEST(CheckTest, NamesEachFieldAsItsWindowsShowIt)
{
    ShipPage falcon;
    falcon.weapons[0].gunpointNames[0] = "Gone";
    GenericPage drone;
    drone.gunpointNames[17] = "Gone";
    drone.maskSounds[10] = "Gone";
    drone.animationSounds[119] = "Gone";
    QStringList named;
    for (const Finding &finding :
         checkTable(table({ sound("Hum"), sound("Hum"), falcon.record(), drone.record() }) +
                    weaponPage("Cut").left(40)))
        named.append(finding.field + u" = "_s + finding.captions);
    EXPECT_EQ(named,
              QStringList({
                  u"sound_name = Sound Name"_s,
                  u"weapons[0].gunpoint_names[0] = Ship weapons #1 > Gunpoint 1 > Weapon name"_s,
                  u"gunpoint_names[17] = Weapon Batteries #3 > Gunpoint 2 > Weapon name"_s,
                  u"mask_sounds[10] = Weapon Batteries #2 > Firing mask 3 > Sound"_s,
                  u"animation_sounds[119] = Classes #5 > Animation 24 > Sound name"_s,
                  u"page = Page"_s,
              }));
}

// Where the window opens each finding's page: its kind, and its place among the pages of that
// kind the program loads. A page of another version is not loaded, so it does not count.
TEST(CheckTest, SaysWhereTheProgramListsEachFaultyPage)
{
    const auto where = [](const QByteArray &table) {
        QStringList found;
        for (const Finding &finding : checkTable(table))
            found.append(u"%1 %2 %3"_s.arg(
                finding.pageKind ? kindInfo(*finding.pageKind).name.toString() : u"-"_s,
                QString::number(finding.position), QString::fromLatin1(finding.name)));
        return found;
    };
    DoorPage old;
    old.name = "Old";
    old.version = 2;
    DoorPage gate;
    gate.name = "Gate";
    gate.openSound = "Gone";
    SoundPage newer;
    newer.name = "Hum";
    newer.version = 2;

    EXPECT_EQ(
        where(table({ named<DoorPage>("Arch"), sound("Hum"), old.record(), newer.record(),
                      texture("Arch"), gate.record(), named<DoorPage>("Arch"), sound("Hum") }) +
              record(3, 1, "unknown kind").left(6)),
        QStringList({ u"door -1 Old"_s, u"sound -1 Hum"_s, u"door 1 Gate"_s, u"door 2 Arch"_s,
                      u"sound 1 Hum"_s, u"- -1 "_s }));
    // The last page cut short is left out when the program loads the table.
    EXPECT_EQ(where(table({ weaponPage("Kept") }) + weaponPage("Cut").left(40)),
              QStringList({ u"weapon -1 Cut"_s }));
}

// Its doors, ships and weapons name sounds, weapons and generics that it has.
TEST(CheckTest, TheDemoTableIsClean)
{
    EXPECT_EQ(findings(demoTable()), QStringList());
}
