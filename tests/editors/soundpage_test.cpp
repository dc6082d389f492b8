#include "soundpage.h"

#include "tablebuilder.h"
#include "testhelpers.h"

using namespace testsupport;

namespace {

PageBody decode(const QByteArray &record)
{
    RecordReader reader(record);
    return PageBody::read(SoundPage::format, reader);
}

} // namespace

TEST(SoundPageTest, RoundTripsEveryFieldByteForByte)
{
    testsupport::SoundPage page;
    page.name = "Laser fire";
    page.waveFile = "laser01.wav";
    page.flags = qint32(0x80000141u); // bits beyond the nine items survive the body
    page.loopStart = -12;
    page.loopEnd = 2147483647;
    page.outerConeVolume = 0.5f;
    page.innerConeAngle = 30;
    page.outerConeAngle = 90;
    page.maxDistance = 1200;
    page.minDistance = 2.25f;
    page.importAdjust = 0.875f;

    const PageBody body = decode(page.record());
    EXPECT_EQ(body.name(), "Laser fire");
    EXPECT_EQ(std::get<quint32>(body.values[SoundPage::Flags]), 0x80000141u);
    EXPECT_EQ(std::get<QString>(body.values[SoundPage::LoopStart]), u"-12");
    EXPECT_EQ(std::get<QString>(body.values[SoundPage::MinDistance]), u"2.25");
    EXPECT_EQ(body.record(SoundPage::format), page.record());
}

TEST(SoundPageTest, LengthFollowsTheTexts)
{
    const QByteArray blank = PageBody::blank(SoundPage::format).record(SoundPage::format);
    EXPECT_EQ(blank, testsupport::SoundPage().record()); // length 53, every number 0
    EXPECT_EQ(blank.size(), 1 + 53);

    PageBody named = PageBody::blank(SoundPage::format);
    named.values[SoundPage::Name] = QByteArray("A");
    EXPECT_EQ(named.record(SoundPage::format).size(), 1 + 45);

    // A name over the read cap is written in full; reading it back keeps 35 characters.
    named.values[SoundPage::Name] = QByteArray(50, 'n');
    const QByteArray longName = named.record(SoundPage::format);
    EXPECT_EQ(longName.size(), 1 + 94);
    EXPECT_EQ(decode(longName).name(), QByteArray(35, 'n'));
}
