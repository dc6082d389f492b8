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
    const QByteArray a = table(
        { sound("Echo"), sound("Echo", 1), laser.record(), crate.record(), pass, sound("Gone") });
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
