// The layout routine on a made-up body shaped like the largest kinds: a code before the name,
// a field present only for one code, a hidden flag and the text it announces, a fixed block,
// and a counted run.

#include "layout.h"
#include "tablebuilder.h"
#include "testhelpers.h"

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

enum { Speed, Armour, PartCount };
const std::array<Item, PartCount> kPartItems = { {
    field("speed", { FieldEncoding::Float, "Speed", "" }),
    field("armour", { FieldEncoding::WordBits, "Armour", "" }),
} };
const Layout kPart = { kPartItems };

enum { Code, Name, Ammo, SpareFlag, SpareText, Parts, DeathCount, Deaths, ItemCount };
bool isPowerup(const Values &before)
{
    return maskOf(before.field(Code)) == 7;
}
bool hasSpare(const Values &before)
{
    return numberText(before.field(SpareFlag)) == u"1";
}
const std::array<Item, ItemCount> kItems = { {
    field("type",
          { FieldEncoding::Choice,
            "Type",
            "",
            std::nullopt,
            {},
            {},
            nullptr,
            std::nullopt,
            false,
            2 }),
    field("name", { FieldEncoding::String, "Name", "" }),
    when(field("ammo",
               { FieldEncoding::Word,
                 "Ammo",
                 "",
                 std::nullopt,
                 {},
                 {},
                 nullptr,
                 std::nullopt,
                 false,
                 50 }),
         isPowerup),
    hidden("spare_flag", { FieldEncoding::Byte, "", "" }),
    when(hidden("spare_text", { FieldEncoding::String, "", "" }), hasSpare),
    block(kPart, 2),
    hidden("death_count",
           { FieldEncoding::Word, "", "", std::nullopt, {}, {}, nullptr, std::nullopt, false, 1 }),
    countedBlock(kPart, "death_count", 4, "death type list", "death types"),
} };
const Layout kLayout = { kItems };

QByteArray written(const Values &values)
{
    RecordWriter writer(PageKind::Generic);
    writeValues(kLayout, values, writer);
    return writer.record();
}

Values read(const QByteArray &record)
{
    RecordReader reader(record);
    Values values = readValues(kLayout, reader);
    EXPECT_TRUE(reader.atEnd());
    return values;
}

QByteArray body(quint8 code, bool spare, int deaths)
{
    Bytes bytes;
    bytes.u8(code).str("Droid");
    if (code == 7)
        bytes.u16(9);
    bytes.u8(spare ? 1 : 0);
    if (spare)
        bytes.str("spare");
    bytes.f32(0.1f).u16(0xf00f).f32(1e-8f).u16(3);
    bytes.u16(quint16(deaths));
    for (int i = 0; i < deaths; ++i)
        bytes.f32(float(i) / 3).u16(quint16(i));
    return record(kind::generic, 27, bytes);
}

} // namespace

TEST(Layout, PresentAndAbsentItemsCountedRunsAndBlocksReadAndWriteByteForByte)
{
    for (quint8 code : { 2, 7 })
        for (bool spare : { false, true })
            for (int deaths : { 0, 1, 4 }) {
                const QByteArray page = body(code, spare, deaths);
                EXPECT_EQ(written(read(page)), page) << code << spare << deaths;
            }
    const Values values = read(body(7, true, 2));
    EXPECT_EQ(numberText(values.field(Ammo)), u"9");
    EXPECT_EQ(textOf(values.field(SpareText)), "spare");
    EXPECT_EQ(values.entries(Deaths).size(), 2u);
}

TEST(Layout, ChangedValuesDecideWhatIsWritten)
{
    // Made a powerup: the ammo it lacked is written with a new page's value.
    Values values = read(body(2, false, 1));
    EXPECT_EQ(numberText(values.field(Ammo)), u"50");
    values.field(Code) = quint32(7);
    Values again = read(written(values));
    EXPECT_EQ(numberText(again.field(Ammo)), u"50");
    EXPECT_EQ(written(again), written(values));

    // The count written is the number of entries held.
    again.entries(Deaths).push_back(again.entries(Deaths).front());
    EXPECT_EQ(numberText(read(written(again)).field(DeathCount)), u"2");

    // A new page: initial values, and as many counted entries as the count's initial value.
    const Values blank = blankValues(kLayout);
    EXPECT_EQ(maskOf(blank.field(Code)), 2u);
    EXPECT_EQ(blank.entries(Deaths).size(), 1u);
    EXPECT_EQ(written(blank), written(read(written(blank))));
}

TEST(Layout, ACountAboveItsMaximumIsADamagedPage)
{
    EXPECT_EQ(tableErrorOf([] { read(body(2, false, 5)); }),
              u"damaged page: its death type list lists 5 death types; at most 4 are allowed"_s);
}
