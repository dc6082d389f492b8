#include "texturepage.h"

#include "pageformats.h"
#include "tablebuilder.h"
#include "testhelpers.h"

using namespace Qt::StringLiterals;
using TexturePage::Body;
using TexturePage::Procedural;

namespace {

Body decode(const QByteArray &record)
{
    RecordReader reader(record);
    Body body = Body::read(reader);
    EXPECT_TRUE(reader.atEnd());
    return body;
}

} // namespace

TEST(TexturePageTest, RoundTripsWithAndWithoutTheProceduralBlock)
{
    const testsupport::TexturePage page = testsupport::proceduralTexture(3);
    const Body body = decode(page.record());
    ASSERT_TRUE(body.procedural);
    EXPECT_EQ(body.procedural->palette[254], 254 * 257);
    EXPECT_EQ(body.procedural->settings,
              (std::array { u"200"_s, u"3"_s, u"255"_s, u"0.05"_s, u"1.5"_s, u"7"_s }));
    ASSERT_EQ(body.procedural->elements.size(), 3);
    EXPECT_EQ(body.procedural->elements[2][Procedural::Y1], u"248");
    EXPECT_EQ(std::get<QString>(body.fields.values[TexturePage::SoundVolume]), u"0.75");
    EXPECT_EQ(body.record(), page.record());
    RecordReader reader(page.record()); // the page fuzzer's way in
    EXPECT_EQ(pageRewriteOf(PageKind::Texture)(reader), page.record());

    testsupport::TexturePage plain = page;
    plain.procedural.reset();
    EXPECT_EQ(page.record().size() - plain.record().size(), 524 + 3 * 8);
    const Body plainBody = decode(plain.record());
    EXPECT_FALSE(plainBody.procedural);
    EXPECT_EQ(plainBody.record(), plain.record());
}

TEST(TexturePageTest, TheRecordNeverAnnouncesABlockItLacks)
{
    Body flagOnly = Body::blank();
    flagOnly.fields.values[TexturePage::Flags] = TexturePage::proceduralFlag | 1u;
    testsupport::TexturePage volatileOnly;
    volatileOnly.flags = 1;
    EXPECT_EQ(flagOnly.record(), volatileOnly.record());

    Body blockOnly = Body::blank();
    blockOnly.procedural = Procedural::defaults();
    testsupport::TexturePage procedural;
    procedural.procedural = testsupport::ProceduralBlock();
    EXPECT_EQ(blockOnly.record(), procedural.record());
}

TEST(TexturePageTest, MoreThan8000ElementsIsADamagedPage)
{
    const testsupport::TexturePage most = testsupport::proceduralTexture(8000);
    EXPECT_EQ(decode(most.record()).procedural->elements.size(), 8000);

    const QByteArray tooMany = testsupport::proceduralTexture(8001).record();
    EXPECT_EQ(
        testsupport::tableErrorOf([&] {
            RecordReader reader(tooMany);
            Body::read(reader);
        }),
        u"damaged page: its procedural block lists 8001 elements; at most 8000 are allowed"_s);
}
