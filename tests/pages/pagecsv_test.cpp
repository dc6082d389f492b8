#include "pagecsv.h"
#include "tablebuilder.h"
#include "tablecsv.h"
#include "testhelpers.h"

#include <functional>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

// A character Windows-1252 has past ASCII, a comma and a quote: the file's UTF-8 and its
// quoting both count.
const QString kEditedText = u"\u00dcmlaut, \"big\""_s;
const QByteArray kEditedBytes = "\xdcmlaut, \"big\"";

// A kind, with a number and a text cell of its pages that the edited CSV changes.
struct CsvKind
{
    PageKind kind;
    QString number, numberText, text;
    std::function<QByteArray(const QByteArray &name, bool edited)> page;
};

std::ostream &operator<<(std::ostream &out, const CsvKind &row)
{
    return out << kindInfo(row.kind).name.data();
}

template<typename Page, typename Edit> auto pageOf(Edit edit)
{
    return [edit](const QByteArray &name, bool edited) {
        Page page;
        page.name = name;
        if (edited)
            edit(page);
        return page.record();
    };
}

QList<CsvKind> csvKinds()
{
    return {
        { PageKind::Texture, u"damage"_s, u"-12"_s, u"bitmap_name"_s,
          pageOf<TexturePage>([](TexturePage &p) { p.damage = -12, p.bitmap = kEditedBytes; }) },
        { PageKind::Sound, u"max_distance"_s, u"0.1"_s, u"sound_filename"_s,
          pageOf<SoundPage>(
              [](SoundPage &p) { p.maxDistance = 0.1f, p.waveFile = kEditedBytes; }) },
        { PageKind::Weapon, u"particle_count"_s, u"255"_s, u"hud_image"_s,
          pageOf<WeaponPage>(
              [](WeaponPage &p) { p.particleCount = 255, p.hudImage = kEditedBytes; }) },
        { PageKind::Generic, u"score"_s, u"65535"_s, u"image_name"_s,
          pageOf<GenericPage>(
              [](GenericPage &p) { p.score = 65535, p.images[0] = kEditedBytes; }) },
        { PageKind::Door, u"hit_points"_s, u"7"_s, u"module_name"_s,
          pageOf<DoorPage>([](DoorPage &p) { p.hitPoints = 7, p.module = kEditedBytes; }) },
        { PageKind::Ship, u"armor_scalar"_s, u"1.5"_s, u"model_name"_s,
          pageOf<ShipPage>([](ShipPage &p) { p.armorScalar = 1.5f, p.models[2] = kEditedBytes; }) },
    };
}

// Pages of the kind out of list order, among a page no text on screen can reproduce, a page of
// another kind and a pass-through page; "Alpha" edited or not.
QByteArray tableOf(const CsvKind &row, bool edited)
{
    return table({ row.page("Beta", false), awkwardPage(quint8(row.kind)),
                   row.kind == PageKind::Door ? sound("Other") : DoorPage().record(),
                   passThroughRecord("level"), row.page("Alpha", edited) });
}

// Rows as a spreadsheet might save them: every cell quoted.
QByteArray joined(const QList<QStringList> &rows)
{
    QString text;
    for (const QStringList &row : rows) {
        QStringList cells;
        for (QString cell : row)
            cells.append(u'"' + cell.replace(u"\""_s, u"\"\""_s) + u'"');
        text += cells.join(u',') + u"\r\n"_s;
    }
    return text.toUtf8();
}

QByteArray exported(const TableCsv::KindPages &pages, PageKind kind)
{
    QString unknown;
    return PageCsv::exportCsv(TableCsv::csvColumns(kind, {}, &unknown), pages.pages());
}

class CsvRoundTrip : public testing::TestWithParam<CsvKind>
{
};

} // namespace

TEST_P(CsvRoundTrip, ImportingTheExportChangesNothingAndAnEditChangesOnlyItsCells)
{
    const CsvKind &kind = GetParam();
    const QByteArray before = tableOf(kind, false);
    const TableCsv::KindPages pages(before, kind.kind);
    const QByteArray csv = exported(pages, kind.kind);
    const PageFormat &format = pageFormat(kind.kind);
    EXPECT_TRUE(csv.startsWith((*format.layout)[format.nameItem].field.key + QByteArray(",")));
    EXPECT_TRUE(csv.endsWith("\r\n"));
    const PageCsv::Import same = PageCsv::planImport(kind.kind, pages.pages(), csv);
    EXPECT_EQ(same.summary(), u"0 pages, 0 values will change"_s);
    EXPECT_EQ(pages.changed(same), before);

    QList<QStringList> rows = PageCsv::parseCsv(csv);
    ASSERT_EQ(rows.size(), 4);
    const qsizetype number = rows[0].indexOf(kind.number), text = rows[0].indexOf(kind.text);
    ASSERT_TRUE(number > 0 && text > 0);
    const auto rowOf = [&](const QString &name) {
        return std::find_if(rows.begin(), rows.end(), [&](auto &row) { return row[0] == name; });
    };
    ASSERT_LT(rowOf(u"Alpha"_s), rowOf(u"Beta"_s)); // list order
    (*rowOf(u"Alpha"_s))[number] = kind.numberText;
    (*rowOf(u"Alpha"_s))[text] = kEditedText;
    QStringList ghost(rows[0].size());
    ghost[0] = u"Ghost"_s;
    rows.append(ghost);
    const PageCsv::Import edit = PageCsv::planImport(kind.kind, pages.pages(), joined(rows));
    EXPECT_EQ(edit.summary(), u"1 page, 2 values will change; 1 name not found"_s);
    EXPECT_EQ(edit.notFound, QStringList { u"Ghost"_s });
    const QByteArray after = pages.changed(edit);
    EXPECT_EQ(after, tableOf(kind, true));
    EXPECT_TRUE(exported(TableCsv::KindPages(after, kind.kind), kind.kind)
                    .contains(u",\"\u00dcmlaut, \"\"big\"\"\""_s.toUtf8()));
}

INSTANTIATE_TEST_SUITE_P(PageCsv, CsvRoundTrip, testing::ValuesIn(csvKinds()));

TEST(PageCsv, TheReaderTakesWhatSpreadsheetsWriteAndNamesTheLineOfBrokenQuoting)
{
    EXPECT_EQ(PageCsv::parseCsv("\xEF\xBB\xBF"
                                "a,\"b\r\nc\"\"\"\n,\r\n\"\",last"),
              (QList<QStringList> { { u"a"_s, u"b\r\nc\""_s }, { {}, {} }, { {}, u"last"_s } }));
    const auto errorOf = [](const QByteArray &csv) {
        return tableErrorOf([&] { PageCsv::parseCsv(csv); });
    };
    EXPECT_EQ(errorOf("a\r\n\"b\r\nc\r\n"),
              u"line 2: the quote that starts a cell here is never closed"_s);
    EXPECT_EQ(
        errorOf("a,\"b\nc\"\nd\ne\"\n"),
        u"line 4: a quote within a cell that does not start with one (quote the cell and write the quote twice)"_s);
    EXPECT_EQ(
        errorOf("\"a\"b\n"),
        u"line 1: text follows the closing quote of a cell (a quote within a quoted cell is written twice)"_s);
    EXPECT_EQ(errorOf("a\nb\nL\xe9ser\n"),
              u"line 3 is not UTF-8 text: save the CSV file as UTF-8"_s);
}

TEST(PageCsv, ABadImportIsRefusedWithItsRowColumnAndReasonAndPlansNothing)
{
    GenericPage crate;
    crate.name = "Crate";
    const QByteArray bytes =
        table({ weaponPage("Laser"), weaponPage("Twin"), weaponPage("Twin"), crate.record() });
    const TableCsv::KindPages weapons(bytes, PageKind::Weapon), generics(bytes, PageKind::Generic);
    const struct
    {
        PageKind kind;
        QByteArray csv;
        QString message;
    } cases[] = {
        { PageKind::Weapon, "weapon_name,dammage\r\nLaser,1\r\n",
          u"column \"dammage\" is no field of a weapon page"_s },
        { PageKind::Weapon, "weapon_name,particle_life\r\nLaser,abc\r\n",
          u"row 2, column \"particle_life\": Please enter a correct float value"_s },
        { PageKind::Weapon, "weapon_name,particle_count\r\nLaser,256",
          u"row 2, column \"particle_count\": 256 is out of range (0 to 255)"_s },
        { PageKind::Weapon, "weapon_name\r\nLaser\r\n\r\nLaser\r\n",
          u"row 4: \"Laser\" is also on row 2"_s },
        { PageKind::Weapon, "weapon_name\nTwin\n",
          u"row 2: 2 weapon pages are named \"Twin\", so the row could be either"_s },
        { PageKind::Weapon, "weapon_name,hud_image\r\nLaser,\"a\r\nTwin,b\r\n",
          u"line 2: the quote that starts a cell here is never closed"_s },
        { PageKind::Weapon, "",
          u"the file is empty: a CSV file of pages starts with a row of keys"_s },
        { PageKind::Weapon, QByteArray(PageCsv::kMaxCsvSize + 1, ','),
          u"the file is 33554433 bytes, more than the 33554432 bytes (32 MB) a CSV file of pages "
          u"may have"_s },
        { PageKind::Weapon, "weapon_name,hud_image\r\nLaser\r\n",
          u"row 2 has 1 cell where the header has 2"_s },
        { PageKind::Weapon, "particle_count\r\n1\r\n",
          u"the file has no \"weapon_name\" column, by which rows are matched to weapon pages"_s },
        { PageKind::Generic, "name,deaths.types[1].death_delay_min\r\nCrate,1\r\n",
          u"row 2, column \"deaths.types[1].death_delay_min\": the page has no such field (its "
          u"list is shorter, or it lacks the block), so the cell must be empty"_s },
        { PageKind::Generic, "name,ai.ai_flags\r\nCrate,5\r\n",
          u"row 2, column \"ai.ai_flags\": what this value means is not known, so it cannot be "
          u"changed; leave it \"0\""_s },
    };
    for (const auto &bad : cases) {
        const TableCsv::KindPages &pages = bad.kind == PageKind::Weapon ? weapons : generics;
        EXPECT_EQ(tableErrorOf([&] { PageCsv::planImport(bad.kind, pages.pages(), bad.csv); }),
                  bad.message);
    }
}
