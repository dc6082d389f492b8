#include "doorpage.h"
#include "pageformats.h"
#include "soundpage.h"
#include "tablebuilder.h"
#include "testhelpers.h"
#include "texturepage.h"

using namespace Qt::StringLiterals;
using TexturePage::Procedural;

namespace {

PageBody decode(const PageFormat &format, const QByteArray &record)
{
    RecordReader reader(record);
    return PageBody::read(format, reader);
}

TexturePage::Body decodeTexture(const QByteArray &record)
{
    RecordReader reader(record);
    return TexturePage::Body::read(reader);
}

// Through the one read-and-write function the page fuzzer drives.
QByteArray rewritten(PageKind kind, const QByteArray &record)
{
    RecordReader reader(record);
    QByteArray written = pageRewriteOf(kind)(reader);
    EXPECT_TRUE(reader.atEnd());
    return written;
}

} // namespace

TEST(PageBodies, EveryKindReadsAndWritesItsRecordByteForByte)
{
    testsupport::SoundPage sound;
    sound.name = "Laser fire";
    sound.waveFile = "laser01.wav";
    sound.flags = qint32(0x80000141u); // bits beyond the nine items survive the body
    sound.loopStart = -12;
    sound.loopEnd = 2147483647;
    sound.outerConeVolume = 0.5f;
    sound.maxDistance = 1200;
    sound.minDistance = 2.25f;
    const PageBody soundBody = decode(SoundPage::format, sound.record());
    EXPECT_EQ(std::get<quint32>(soundBody.values[SoundPage::Flags]), 0x80000141u);
    EXPECT_EQ(std::get<QString>(soundBody.values[SoundPage::LoopStart]), u"-12");
    EXPECT_EQ(std::get<QString>(soundBody.values[SoundPage::MinDistance]), u"2.25");
    EXPECT_EQ(rewritten(PageKind::Sound, sound.record()), sound.record());

    testsupport::DoorPage door;
    door.name = "Blast grate";
    door.timeOpen = 4;
    door.flags = 0xff; // only the check list drops the bits without an item
    door.hitPoints = 65535;
    door.module = "gratectl";
    EXPECT_EQ(rewritten(PageKind::Door, door.record()), door.record());

    const testsupport::TexturePage texture = testsupport::proceduralTexture(3);
    const TexturePage::Body body = decodeTexture(texture.record());
    ASSERT_TRUE(body.procedural);
    EXPECT_EQ(body.procedural->palette[254], 254 * 257);
    EXPECT_EQ(body.procedural->settings,
              (std::array { u"200"_s, u"3"_s, u"255"_s, u"0.05"_s, u"1.5"_s, u"7"_s }));
    ASSERT_EQ(body.procedural->elements.size(), 3);
    EXPECT_EQ(body.procedural->elements[2][Procedural::Y1], u"248");
    EXPECT_EQ(rewritten(PageKind::Texture, texture.record()), texture.record());
    testsupport::TexturePage plain = texture;
    plain.procedural.reset();
    EXPECT_EQ(texture.record().size() - plain.record().size(), 524 + 3 * 8);
    EXPECT_EQ(rewritten(PageKind::Texture, plain.record()), plain.record());
}

TEST(PageBodies, NewPagesAndLengthsFollowTheTexts)
{
    EXPECT_EQ(PageBody::blank(SoundPage::format).record(SoundPage::format),
              testsupport::SoundPage().record()); // length 53
    EXPECT_EQ(PageBody::blank(DoorPage::format).record(DoorPage::format),
              testsupport::DoorPage().record()); // length 34
    EXPECT_EQ(TexturePage::Body::blank().record(), testsupport::TexturePage().record()); // 66

    PageBody door = PageBody::blank(DoorPage::format);
    door.values[DoorPage::Name] = QByteArray("D");
    EXPECT_EQ(door.record(DoorPage::format).size(), 1 + 27);
    // A name over the read cap is written in full; reading it back keeps 35 characters.
    PageBody sound = PageBody::blank(SoundPage::format);
    sound.values[SoundPage::Name] = QByteArray(50, 'n');
    const QByteArray longName = sound.record(SoundPage::format);
    EXPECT_EQ(longName.size(), 1 + 94);
    EXPECT_EQ(decode(SoundPage::format, longName).name(), QByteArray(35, 'n'));
}

TEST(PageBodies, ATextureRecordNeverAnnouncesABlockItLacks)
{
    TexturePage::Body flagOnly = TexturePage::Body::blank();
    flagOnly.fields.values[TexturePage::Flags] = TexturePage::proceduralFlag | 1u;
    testsupport::TexturePage volatileOnly;
    volatileOnly.flags = 1;
    EXPECT_EQ(flagOnly.record(), volatileOnly.record());

    TexturePage::Body blockOnly = TexturePage::Body::blank();
    blockOnly.procedural = Procedural::defaults();
    testsupport::TexturePage procedural;
    procedural.procedural = testsupport::ProceduralBlock();
    EXPECT_EQ(blockOnly.record(), procedural.record());
}

TEST(PageBodies, MoreThan8000ProceduralElementsIsADamagedPage)
{
    EXPECT_EQ(
        decodeTexture(testsupport::proceduralTexture(8000).record()).procedural->elements.size(),
        8000);
    const QByteArray tooMany = testsupport::proceduralTexture(8001).record();
    EXPECT_EQ(
        testsupport::tableErrorOf([&] { decodeTexture(tooMany); }),
        u"damaged page: its procedural block lists 8001 elements; at most 8000 are allowed"_s);
}
