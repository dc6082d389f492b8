#include "doorpage.h"
#include "genericpage.h"
#include "pagecolumns.h"
#include "pagetext.h"
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

// Every cell of every column, the repeated entries included, reads back from its own text in
// either form as the value it holds, is found again by its key, and written back leaves the
// page's bytes as they were.
TEST_P(EveryKind, EveryCellReadsBackFromItsTextAndItsKey)
{
    using namespace PageColumns;
    const PageKind kind = GetParam().kind;
    const PageFormat &format = pageFormat(kind);
    for (const QByteArray &record : GetParam().pages) {
        const PageBody read = decode(kind, record);
        const Values *pages[] = { &read.values };
        const QList<Column> columns = columnsOf(kind, entriesOf(kind, pages));
        ASSERT_GE(columns.size(), columnsOf(kind).size());
        PageBody written = read;
        int cells = 0;
        for (const Column &column : columns) {
            const std::optional<Column> found = columnOf(kind, column.key);
            ASSERT_TRUE(found) << column.key.toStdString();
            EXPECT_EQ(found->field, column.field) << column.key.toStdString();
            const Cell cell = cellOf(read.values, column);
            if (!cell.value)
                continue;
            ++cells;
            for (const Form form : { Form::Shown, Form::Exact }) {
                const QString text = textOf(column, cell, form);
                const Parsed parsed = parse(column, Cell { nullptr, cell.entry }, text, form);
                // A float shown to four digits stands for another value: only its exact text
                // must come back as it was.
                if (form == Form::Shown && column.field->encoding == FieldEncoding::Float)
                    continue;
                ASSERT_TRUE(std::holds_alternative<FieldValue>(parsed))
                    << column.key.toStdString() << " " << text.toStdString() << ": "
                    << std::get<QString>(parsed).toStdString();
                EXPECT_TRUE(sameValue(std::get<FieldValue>(parsed), *cell.value))
                    << column.key.toStdString() << " " << text.toStdString();
                EXPECT_TRUE(setValue(written.values, column, std::get<FieldValue>(parsed)));
            }
        }
        EXPECT_GT(cells, 0);
        EXPECT_EQ(written.record(format), record);
    }
    // Every item of every bit set reads back as its own bit, so no two items share a name.
    PageBody blank = PageBody::blank(format);
    const Values *blankPages[] = { &blank.values };
    for (const Column &column : columnsOf(kind, entriesOf(kind, blankPages))) {
        const Cell cell = cellOf(blank.values, column);
        if (!cell.value || !isBitSet(column.field->encoding) || column.field->unknown)
            continue;
        for (size_t bit = 0; bit < column.field->items.size() && bit < 32; ++bit) {
            const FieldValue one = quint32(1u << bit);
            const QString text = textOf(column, Cell { &one, cell.entry }, Form::Exact);
            const Parsed parsed = parse(column, cell, text, Form::Exact);
            ASSERT_TRUE(std::holds_alternative<FieldValue>(parsed)) << text.toStdString();
            EXPECT_EQ(maskOf(std::get<FieldValue>(parsed)), 1u << bit)
                << column.key.toStdString() << " " << text.toStdString();
        }
    }
    EXPECT_FALSE(columnOf(kind, u"no_such_key"_s));
    const QList<Column> single = columnsOf(kind);
    EXPECT_TRUE(std::none_of(single.begin(), single.end(),
                             [](const Column &column) { return column.repeated; }));
    EXPECT_EQ(std::count_if(single.begin(), single.end(),
                            [](const Column &column) { return column.isName; }),
              1);
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

// What the table's edits refuse and how they round, and the block a flag brings.
TEST(PageColumns, EditsAreCheckedRoundedAndAFlagBringsItsBlock)
{
    using namespace PageColumns;
    using Op = Edit::Op;
    const PageFormat &format = pageFormat(PageKind::Texture);
    PageBody texture = PageBody::blank(format);
    const auto column = [](const char *key) { return *columnOf(PageKind::Texture, QString::fromLatin1(key)); };
    const auto edit = [&](const char *key, Edit change) {
        return edited(column(key), cellOf(texture.values, column(key)), change);
    };
    const auto message = [](const Parsed &parsed) {
        return std::holds_alternative<QString>(parsed) ? std::get<QString>(parsed) : QString();
    };
    const auto number = [](const Parsed &parsed) {
        return std::get<NumberValue>(std::get<FieldValue>(parsed)).stored();
    };
    ASSERT_TRUE(setValue(texture.values, column("damage"), NumberValue(FieldEncoding::Int, 7)));
    EXPECT_EQ(number(edit("damage", { Op::Multiply, u"1.5"_s })), 11u); // 10.5 rounds away
    EXPECT_EQ(number(edit("damage", { Op::Add, u"-9"_s })), quint32(-2));
    EXPECT_EQ(message(edit("damage", { Op::Add, u"lots"_s })), u"\"lots\" is not a number"_s);
    EXPECT_EQ(message(edit("damage", { Op::Multiply, u"1e10"_s })),
              u"70000000000 is out of range (-2147483648 to 2147483647)"_s);
    EXPECT_EQ(message(edit("damage", { Op::Set, u"12a"_s })), kIntegerFieldMessage);
    EXPECT_EQ(message(edit("damage", { Op::Set, u""_s })), kIntegerFieldMessage);
    EXPECT_EQ(message(edit("red", { Op::Set, u"x"_s })), kFloatFieldMessage);
    EXPECT_EQ(message(edit("red", { Op::Multiply, u"1e38"_s })), u""_s); // 0 stays 0
    EXPECT_EQ(message(edit("bitmap_name", { Op::Set, u"\u0151"_s })),
              unstorableMessage(U'\u0151'));
    EXPECT_EQ(message(edit("corona_style", { Op::Set, u"Sparkly"_s })),
              u"\"Sparkly\" is not one of the entries"_s);
    EXPECT_EQ(message(edit("flags", { Op::Set, u"Procedural|Glowing"_s })),
              u"\"Glowing\" is not one of the items"_s);
    EXPECT_FALSE(takes(column("name"), Op::Set));
    EXPECT_FALSE(takes(column("bitmap_name"), Op::Multiply));
    EXPECT_TRUE(takes(column("flags"), Op::SetFlag));

    // A float's exact text is its bits, also for a NaN that NAN does not read as.
    const Parsed nan = parse(column("red"), {}, u"0x7fc00001"_s, Form::Exact);
    ASSERT_EQ(number(nan), 0x7fc00001u);
    ASSERT_TRUE(setValue(texture.values, column("red"), std::get<FieldValue>(nan)));
    EXPECT_EQ(textOf(column("red"), cellOf(texture.values, column("red")), Form::Exact),
              u"0x7fc00001"_s);
    ASSERT_TRUE(setValue(texture.values, column("red"), NumberValue(FieldEncoding::Float, bitsFromFloat(0.1f))));
    EXPECT_EQ(textOf(column("red"), cellOf(texture.values, column("red")), Form::Exact), u"0.1"_s);

    // Setting the procedural flag gives the page its block, whose cells are then there.
    const Column elements = column("procedural.heat");
    EXPECT_FALSE(cellOf(texture.values, elements).value);
    const Parsed flagged = edit("flags", { Op::SetFlag, {}, {}, 24 });
    ASSERT_TRUE(setValue(texture.values, column("flags"), std::get<FieldValue>(flagged)));
    EXPECT_TRUE(cellOf(texture.values, elements).value);
    ASSERT_TRUE(setValue(texture.values, column("flags"), quint32(0)));
    EXPECT_FALSE(cellOf(texture.values, elements).value);
}
