#include "diff.h"

#include "tablebuilder.h"
#include "testhelpers.h"

#include <gtest/gtest.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

TEST(DiffTest, PagesMatchByKindAndNameInOrderAndChangesNameTheirFields)
{
    const QByteArray same = table({ sound("Laser"), DoorPage().record() });
    EXPECT_TRUE(diffTables(same, same).isEmpty());

    testsupport::WeaponPage laser;
    laser.name = "Laser";
    testsupport::WeaponPage faster = laser;
    faster.physics[1] = 0x40200000u; // drag 2.5
    faster.flags = 4;
    testsupport::GenericPage crate;
    crate.name = "Crate";
    testsupport::GenericPage powerup = crate;
    powerup.objectType = 7;
    powerup.ammo = 3;
    const QByteArray pass = passThroughRecord("level");
    const QByteArray a = table({ sound("Echo"), sound("Echo", 1), laser.record(), crate.record(),
                                 pass, sound("Gone", 5) });
    const QByteArray b = table({ sound("Echo"), sound("Echo", 2), faster.record(), powerup.record(),
                                 passThroughRecord("level 2"), sound("New") });
    EXPECT_EQ(diffTables(a, b).join(u'\n'),
              QStringList(
                  {
                      u"sound \"Echo\": max_distance: 1 -> 2"_s, // the second Echo with the second
                      u"sound \"Gone\": removed"_s,
                      u"sound \"New\": added"_s,
                      u"weapon \"Laser\": weapon_flags: [] -> [\"Smoke\"]"_s,
                      u"weapon \"Laser\": physics.drag: 0 -> 2.5"_s,
                      u"generic \"Crate\": object_type: {\"code\":2,\"entry\":\"Robot\"} -> "
                      u"{\"code\":7,\"entry\":\"Powerup\"}"_s,
                      u"generic \"Crate\": ammo: (none) -> 3"_s,
                      u"passthrough \"\": raw: 12 bytes -> 14 bytes, not the same"_s,
                  })
                  .join(u'\n'));
}

TEST(DiffTest, ARemovedAndAnAddedPageThatMostlyAgreeAreOneRenamedPage)
{
    testsupport::WeaponPage laser;
    laser.name = "Laser";
    laser.hudImage = "hud";
    laser.fireImage = "fire";
    laser.particleName = "spark";
    laser.particleCount = 3;
    laser.flags = 4;
    testsupport::WeaponPage blaster = laser, cannon = laser;
    blaster.name = "Blaster";
    blaster.particleCount = 4;
    cannon.name = "Cannon"; // agrees too, but less
    cannon.particleCount = 5;
    cannon.flags = 0;
    // Pages that set nothing alike are not one page, however much of a new page they keep.
    const QByteArray a = table({ sound("Zap", 5), laser.record() });
    const QByteArray b = table({ sound("Zip", 6), cannon.record(), blaster.record() });
    EXPECT_EQ(diffTables(a, b).join(u'\n'),
              QStringList({
                              u"sound \"Zap\": removed"_s,
                              u"sound \"Zip\": added"_s,
                              u"weapon \"Laser\": renamed to \"Blaster\""_s,
                              u"weapon \"Laser\": particle_count: 3 -> 4"_s,
                              u"weapon \"Cannon\": added"_s,
                          })
                  .join(u'\n'));
}
