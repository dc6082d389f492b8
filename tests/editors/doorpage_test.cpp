#include "doorpage.h"

#include "tablebuilder.h"
#include "testhelpers.h"

namespace {

PageBody decode(const QByteArray &record)
{
    RecordReader reader(record);
    return PageBody::read(DoorPage::format, reader);
}

} // namespace

TEST(DoorPageTest, RoundTripsAndLengthFollowsTheNames)
{
    testsupport::DoorPage door;
    door.name = "Blast grate";
    door.model = "grate.qmf";
    door.openingTime = 1.5f;
    door.closingTime = 0.25f;
    door.timeOpen = 4;
    door.flags = 0xff; // the body keeps every bit; only the check list drops the unnamed ones
    door.hitPoints = 65535;
    door.openSound = "door open";
    door.closeSound = "door shut";
    door.module = "gratectl";
    const PageBody body = decode(door.record());
    EXPECT_EQ(std::get<QString>(body.values[DoorPage::HitPoints]), u"65535");
    EXPECT_EQ(body.record(DoorPage::format), door.record());

    const QByteArray blank = PageBody::blank(DoorPage::format).record(DoorPage::format);
    EXPECT_EQ(blank, testsupport::DoorPage().record());
    EXPECT_EQ(blank.size(), 1 + 34);
    PageBody named = PageBody::blank(DoorPage::format);
    named.values[DoorPage::Name] = QByteArray("D");
    EXPECT_EQ(named.record(DoorPage::format).size(), 1 + 27);
}
