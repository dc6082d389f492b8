#include "doorpage.h"
#include "genericpage.h"
#include "pageformats.h"
#include "soundpage.h"
#include "tablebuilder.h"
#include "tabletext.h"
#include "testhelpers.h"
#include "texturepage.h"

using namespace Qt::StringLiterals;
namespace Procedural = TexturePage::ProceduralBlock;

namespace {

PageBody decode(PageKind kind, const QByteArray &record)
{
    RecordReader reader(record);
    PageBody body = PageBody::read(pageFormat(kind), reader);
    EXPECT_TRUE(reader.atEnd());
    return body;
}

QByteArray rewritten(PageKind kind, const QByteArray &record)
{
    return decode(kind, record).record(pageFormat(kind));
}

// One row per kind whose body is declared: a new page made independently of the engine, and
// pages the texts on screen cannot reproduce.
struct KindRow
{
    PageKind kind;
    QByteArray newPage;
    QList<QByteArray> pages;
};

std::ostream &operator<<(std::ostream &out, const KindRow &row)
{
    return out << kindInfo(row.kind).name.data();
}

QList<KindRow> kindRows()
{
    testsupport::TexturePage plain = testsupport::proceduralTexture(3);
    plain.procedural.reset();
    testsupport::GenericPage odd;
    odd.objectType = 5; // no such type: no ammo
    odd.spareFlag = 2; // not 1: no spare text B
    odd.deaths.clear();
    odd.ai.movementType = 9;
    testsupport::SoundPage sound;
    sound.name = "Laser fire";
    sound.flags = qint32(0x80000141u);
    sound.loopStart = -12;
    sound.loopEnd = 2147483647;
    return {
        { PageKind::Texture,
          testsupport::TexturePage().record(),
          { testsupport::awkwardPage(testsupport::kind::texture),
            testsupport::proceduralTexture(0).record(), plain.record() } },
        { PageKind::Sound,
          testsupport::SoundPage().record(),
          { testsupport::awkwardPage(testsupport::kind::sound), sound.record() } },
        { PageKind::Door,
          testsupport::DoorPage().record(),
          { testsupport::awkwardPage(testsupport::kind::door) } },
        { PageKind::Weapon,
          testsupport::WeaponPage().record(),
          { testsupport::awkwardPage(testsupport::kind::weapon),
            testsupport::weaponPage("Laser") } },
        { PageKind::Generic,
          testsupport::GenericPage().record(),
          { testsupport::awkwardPage(testsupport::kind::generic), odd.record(),
            testsupport::genericPage("Crate", 11) } },
        { PageKind::Ship,
          testsupport::ShipPage().record(),
          { testsupport::awkwardPage(testsupport::kind::ship), testsupport::shipPage("Falcon") } },
    };
}

class EveryKind : public testing::TestWithParam<KindRow>
{
};

} // namespace

TEST_P(EveryKind, ReadAndWrittenUnchangedEveryPageComesBackByteForByte)
{
    for (const QByteArray &page : GetParam().pages)
        EXPECT_EQ(rewritten(GetParam().kind, page), page);
}

TEST_P(EveryKind, ANewPageIsTheKindsNewPageAndItsNameLiesWhereTheLoaderLooks)
{
    const PageFormat &format = pageFormat(GetParam().kind);
    const QByteArray blank = PageBody::blank(format).record(format);
    EXPECT_EQ(blank, GetParam().newPage);
    EXPECT_EQ(blank.mid(RecordHeader::size + format.info().nameOffset, qstrlen(format.newPageName)),
              QByteArray(format.newPageName));
    EXPECT_EQ(decode(GetParam().kind, blank).name(format), QByteArray(format.newPageName));
}

INSTANTIATE_TEST_SUITE_P(PageBodies, EveryKind, testing::ValuesIn(kindRows()));

TEST(PageBodies, ATextureRecordNeverAnnouncesABlockItLacks)
{
    const PageFormat &format = pageFormat(PageKind::Texture);
    PageBody flagOnly = PageBody::blank(format);
    flagOnly.values.field(TexturePage::Flags) = TexturePage::proceduralFlag | 1u;
    testsupport::TexturePage volatileOnly;
    volatileOnly.flags = 1;
    EXPECT_EQ(flagOnly.record(format), volatileOnly.record());

    PageBody blockOnly = PageBody::blank(format);
    blockOnly.values.entries(TexturePage::Procedural) = { Procedural::defaults() };
    testsupport::TexturePage procedural;
    procedural.procedural = testsupport::ProceduralBlock();
    EXPECT_EQ(blockOnly.record(format), procedural.record());

    // The element count is the number of elements held, whatever the count field says.
    Values block = Procedural::defaults();
    block.entries(Procedural::Elements).resize(2, block.entries(Procedural::Elements)[0]);
    blockOnly.values.entries(TexturePage::Procedural) = { block };
    procedural.procedural->elements.append(std::array<quint8, 8> {});
    EXPECT_EQ(blockOnly.record(format), procedural.record());
}

// A page made a powerup gains its ammo, written with a new page's value.
TEST(PageBodies, AGenericPageHasItsAmmoAsAPowerupOnly)
{
    const PageFormat &format = pageFormat(PageKind::Generic);
    PageBody body = PageBody::blank(format);
    body.values.field(GenericPage::ObjectType) = quint32(GenericPage::powerup);
    EXPECT_EQ(body.record(format), testsupport::genericPage("New Generic", 7));
    body.values.field(GenericPage::ObjectType) = quint32(16);
    EXPECT_EQ(body.record(format), testsupport::genericPage("New Generic", 16));
}

// Tests compare pages by their values: a value inside a block counts.
TEST(PageBodies, PagesThatDifferInsideABlockAreNotEqual)
{
    const PageBody blank = PageBody::blank(pageFormat(PageKind::Generic));
    PageBody other = blank;
    other.values.entries(GenericPage::Physics).front().field(0) =
        NumberValue(FieldEncoding::Float, 1);
    EXPECT_NE(other, blank);
}

// 8000 procedural elements are allowed; the editor's test shows 8001 refused with its message.
TEST(PageBodies, AProceduralBlockHoldsUpTo8000Elements)
{
    EXPECT_EQ(decode(PageKind::Texture, testsupport::proceduralTexture(8000).record())
                  .values.entries(TexturePage::Procedural)[0]
                  .entries(Procedural::Elements)
                  .size(),
              8000u);
}

// In the text form a backslash starts \\ or \xNN and nothing else, and the bytes of a page kept
// raw are base64: a typo is refused, never read as some other bytes.
TEST(TextForm, EscapesAndRawBytesAreReadAsWrittenOrRefused)
{
    const QByteArray text = TableText::dumpTable(testsupport::sound("Laser"));
    const auto named = [&](const QByteArray &name) {
        return TableText::buildTable(QByteArray(text).replace("\"Laser\"", "\"" + name + "\""));
    };
    EXPECT_EQ(named("\\\\x41\\\\\\\\"), testsupport::sound("A\\"));
    for (const QByteArray &typo : { QByteArray("\\\\y41"), QByteArray("La\\\\x4") }) {
        EXPECT_TRUE(testsupport::tableErrorOf([&] {
                        named(typo);
                    }).contains(u"a backslash starts \\\\ or \\xNN"_s))
            << typo.constData();
    }

    const QByteArray pass = TableText::dumpTable(testsupport::passThroughRecord("level"));
    const qsizetype raw = pass.indexOf("\"raw\": ") + 7, end = pass.indexOf('"', raw + 1) + 1;
    ASSERT_GT(raw, 7);
    for (const QByteArray &bad : { QByteArray("\"%%%\""), QByteArray("12") }) {
        const QByteArray changed = pass.left(raw) + bad + pass.mid(end);
        EXPECT_TRUE(testsupport::tableErrorOf([&] {
                        TableText::buildTable(changed);
                    }).contains(u"not base64"_s))
            << changed.constData();
    }
}
