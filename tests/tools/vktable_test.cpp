#include "check.h"
#include "loader.h"
#include "recordfile.h"
#include "tablebuilder.h"
#include "tabletext.h"
#include "testhelpers.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

struct ToolRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

ToolRun vktable(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(VKTABLE_PATH), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return { process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError() };
}

// Sets every field the layout declares to name a page to name.
void nameEverywhere(const Layout &layout, Values &values, const QByteArray &name)
{
    walkItems(layout, values, [&](const ItemStep &step) {
        if (step.role == ItemStep::Role::Block)
            for (Values &entry : values.entries(step.index))
                nameEverywhere(*step.item.block, entry, name);
        else if (!step.item.field.refersTo.isEmpty())
            values.field(step.index) = name;
    });
}

} // namespace

TEST(Vktable, ListsEveryPageInListOrderThenThePassThroughPages)
{
    TempDir dir;
    const QString path = dir.path(u"t.gam"_s);
    SoundPage old;
    old.version = 9;
    writeFile(path,
              table({ passThroughRecord("p1"), sound("b"), texture("Hangar d\xf6or\t\x80"),
                      sound("A"), old.record(), sound("a"), passThroughRecord("p2"),
                      DoorPage().record(), record(3, 1, "skipped") }));
    const ToolRun run = vktable({ u"list"_s, path });
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out,
              "texture\t0\t1\tHangar d\xc3\xb6or\\x09\xe2\x82\xac\n"
              "sound\t0\t2\tA\n"
              "sound\t1\t3\ta\n"
              "sound\t2\t1\tb\n"
              "door\t0\t1\tNew Door\n"
              "passthrough\t0\t1\t\n"
              "passthrough\t1\t2\t\n");
    EXPECT_EQ(run.err.count(QByteArray(kVersionMismatchMessage.data())), 1);
}

TEST(Vktable, ResavesByteForByteAndReportsErrorsWithStatusOne)
{
    TempDir dir;
    const QString in = dir.path(u"in.gam"_s), out = dir.path(u"out.gam"_s);
    const QByteArray pass = passThroughRecord(Bytes().str("level").f32(9.81f));
    writeFile(in, table({ sound("z"), pass, DoorPage().record(), sound("y") }));
    ToolRun run = vktable({ u"resave"_s, in, out });
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "Table file saved\n");
    EXPECT_EQ(readFile(out), table({ sound("y"), sound("z"), DoorPage().record(), pass }));
    EXPECT_EQ(vktable({ u"resave"_s, out, in }).exitCode, 0);
    EXPECT_EQ(readFile(in), readFile(out)); // a saved table resaves unchanged

    writeFile(in, sound("a") + recordWithLength(7, 3, {}));
    QFile::remove(out);
    run = vktable({ u"resave"_s, in, out });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains("damaged table file: record at byte 46 has an impossible length "
                                 "of 3 bytes"));
    EXPECT_FALSE(QFile::exists(out));
    for (const QStringList &bad : { QStringList { u"frobnicate"_s }, QStringList { u"list"_s } }) {
        run = vktable(bad);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.contains("Usage:"));
    }
}

TEST(Vktable, DumpBuildCheckAndDiffSayWhatTheyFoundByTheirExitStatus)
{
    TempDir dir;
    const QString in = dir.path(u"in.gam"_s), json = dir.path(u"in.json"_s),
                  out = dir.path(u"out.gam"_s);
    DoorPage door;
    door.name = "Hatch";
    door.openSound = "t\xfcr";
    writeFile(in, table({ sound("Laser"), door.record(), passThroughRecord("level") }));

    ToolRun run = vktable({ u"dump"_s, in, u"-o"_s, json });
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(vktable({ u"dump"_s, in }).out, readFile(json)); // standard output alike
    EXPECT_EQ(vktable({ u"build"_s, json, out }).exitCode, 0);
    EXPECT_EQ(readFile(out), readFile(in));
    // The text where a table file belongs is named for what it is.
    run = vktable({ u"list"_s, json });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("this is a table as text (JSON), as \"vktable dump\" writes it, "
                                 "not a table file; make a table file from it with \"vktable "
                                 "build\"")) << run.err.toStdString();
    run = vktable({ u"diff"_s, in, out });
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.isEmpty());

    // A text with a mistake writes nothing and names the page and the key.
    QByteArray text = readFile(json);
    text.replace("\"Hatch\"", "\"Hatch\", \"hinges\": 2");
    writeFile(json, text);
    QFile::remove(out);
    run = vktable({ u"build"_s, json, out });
    EXPECT_EQ(run.exitCode, 1);
    const QByteArray before = text.left(text.indexOf("\"hinges\""));
    EXPECT_EQ(run.err,
              "vktable: \"" + json.toLocal8Bit() + "\": line " +
                  QByteArray::number(before.count('\n') + 1) + ", column " +
                  QByteArray::number(before.size() - before.lastIndexOf('\n')) +
                  ": page 2 (\"Hatch\"): key \"hinges\": no such key\n");
    EXPECT_FALSE(QFile::exists(out));

    run = vktable({ u"check"_s, in });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "door \"Hatch\": open_sound: names no sound page \"t\xc3\xbcr\"\n");
    writeFile(out, table({ sound("Laser"), sound("Hum") }));
    run = vktable({ u"diff"_s, in, out });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out,
              "sound \"Hum\": added\ndoor \"Hatch\": removed\n"
              "passthrough \"\": removed\n");
    EXPECT_EQ(vktable({ u"check"_s, out }).exitCode, 0);
    EXPECT_EQ(vktable({ u"dump"_s }).exitCode, 2);
}

// dump, check and build read and write a table a piece at a time, and write what the table in
// memory gives. A build that fails late, or cannot be saved, leaves the old file as it was; a
// fault of the text is said before one of the save.
TEST(Vktable, DumpCheckAndBuildGoAPieceAtATimeAndAFailedBuildWritesNothing)
{
    TempDir dir;
    const QString in = dir.path(u"in.gam"_s), json = dir.path(u"in.json"_s),
                  broken = dir.path(u"broken.json"_s), out = dir.path(u"out.gam"_s);
    // Many windows of the file and batches of the text; large pages across windows, some of
    // their names given twice, some naming pages that do not exist.
    QList<QByteArray> records;
    for (int i = 0; i < 1600; ++i)
        records.append(i % 100 == 1      ? awkwardPage(i % 200 == 1 ? kind::generic : kind::ship)
                           : i % 50 == 2 ? genericPage(QByteArray::number(1000 + i))
                                         : passThroughRecord(QByteArray(1000, 'x')));
    const QByteArray bytes = table(records);
    writeFile(in, bytes);
    ASSERT_EQ(vktable({ u"dump"_s, in, u"-o"_s, json }).exitCode, 0);
    const QByteArray text = readFile(json);
    EXPECT_EQ(text, TableText::dumpTable(bytes));
    QByteArray lines;
    for (const Finding &finding : checkTable(bytes))
        lines += finding.line().toUtf8() + '\n';
    EXPECT_GT(lines.count('\n'), 16);
    EXPECT_EQ(vktable({ u"check"_s, in }).out, lines);
    // Read through a window smaller than a page, every page lies across windows.
    RecordFile small(in, u"table file"_s, 1024);
    QByteArray streamed;
    TableText::dumpTable(small, [&](QByteArrayView piece) { streamed += piece; });
    checkTable(small, [&](const Finding &finding) { streamed += finding.line().toUtf8() + '\n'; });
    EXPECT_EQ(streamed, text + lines);

    writeFile(broken, text.left(text.size() - 100));
    const QByteArray notJson = "vktable: \"" + broken.toLocal8Bit() +
        "\": " + tableErrorOf([&] { TableText::buildTable(readFile(broken)); }).toUtf8() + '\n';
    writeFile(out, "kept");
    ToolRun run;
    {
        FileSizeLimit limit(quint64(bytes.size() / 2));
        run = vktable({ u"build"_s, json, out });
        EXPECT_TRUE(run.err.contains("Cannot write") && run.err.contains("File too large"))
            << run.err.toStdString();
        EXPECT_EQ(vktable({ u"build"_s, broken, out }).err, notJson);
    }
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(vktable({ u"build"_s, broken, out }).err, notJson);
    EXPECT_EQ(vktable({ u"build"_s, broken, dir.path(u"none/out.gam"_s) }).err, notJson);
    EXPECT_EQ(readFile(out), "kept");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({ u"broken.json"_s, u"in.gam"_s, u"in.json"_s, u"out.gam"_s }));
    EXPECT_EQ(vktable({ u"build"_s, json, out }).exitCode, 0);
    EXPECT_EQ(readFile(out), bytes);
}

TEST(Vktable, RefsListsEveryFieldOfEveryKindThatNamesThePage)
{
    TempDir dir;
    const QString path = dir.path(u"t.gam"_s);
    // A page of each kind naming "Target" wherever it can, and no generic page of that name.
    QList<QByteArray> records = { sound("Target"), texture("Target"), weaponPage("Target") };
    std::map<PageKind, QByteArray> expected;
    for (const PageKind kind : kEditedKinds) {
        const PageFormat &format = pageFormat(kind);
        PageBody body = PageBody::blank(format);
        nameEverywhere(*format.layout, body.values, "Target");
        records.append(body.record(format));
        TableText::forEachField(kind, body.values, [&](const TableText::FieldAt &at) {
            for (const PageKind target : kEditedKinds)
                if (at.field.refersTo.contains(target))
                    expected[target] += kindInfo(kind).name.toString().toUtf8() + '\t' +
                        format.newPageName + '\t' + at.key().toUtf8() + '\n';
        });
    }
    SoundPage old;
    old.name = "Old";
    old.version = 9;
    records.append(old.record());
    writeFile(path, table(records));

    for (const PageKind kind : kEditedKinds) {
        const ToolRun run =
            vktable({ u"refs"_s, path, kindInfo(kind).name.toString(), u"Target"_s });
        EXPECT_EQ(run.out, expected[kind]);
        EXPECT_EQ(run.exitCode, expected[kind].isEmpty() ? 1 : 0) << kindInfo(kind).name.data();
        EXPECT_TRUE(run.err.contains("1 page could not be read; not searched: sound \"Old\" "
                                     "(version 9; the program reads version 1)"));
    }
    for (const PageKind kind :
         { PageKind::Texture, PageKind::Sound, PageKind::Weapon, PageKind::Generic })
        EXPECT_GE(expected[kind].count('\n'), 1) << kindInfo(kind).name.data();
    EXPECT_EQ(expected[PageKind::Generic], expected[PageKind::Weapon]);

    const ToolRun differentCase = vktable({ u"refs"_s, path, u"sound"_s, u"target"_s });
    EXPECT_EQ(differentCase.exitCode, 1);
    EXPECT_TRUE(differentCase.out.isEmpty());
    const ToolRun unknownKind = vktable({ u"refs"_s, path, u"sounds"_s, u"Target"_s });
    EXPECT_EQ(unknownKind.exitCode, 2);
    EXPECT_TRUE(unknownKind.err.contains("no kind is called \"sounds\""));
    const ToolRun unstorable = vktable({ u"refs"_s, path, u"sound"_s, u"Tar\u2622get"_s });
    EXPECT_EQ(unstorable.exitCode, 1);
    EXPECT_TRUE(unstorable.err.contains("(U+2622) cannot be stored")) << unstorable.err.data();
    EXPECT_EQ(vktable({ u"refs"_s, dir.path(u"none.gam"_s), u"sound"_s, u"Target"_s }).exitCode, 1);
}

TEST(Vktable, RenameChangesThePageAndItsReferencesAndWritesNothingOnError)
{
    TempDir dir;
    const QString in = dir.path(u"in.gam"_s), out = dir.path(u"out.gam"_s);
    const auto door = [](const QByteArray &open, const QByteArray &close) {
        DoorPage page;
        page.openSound = open;
        page.closeSound = close;
        return page.record();
    };
    const auto weapon = [](const QByteArray &sound, const QByteArray &spawn) {
        WeaponPage page;
        page.sounds[3] = sound;
        page.spawnName = spawn;
        return page.record();
    };
    SoundPage old;
    old.name = "Fire";
    old.version = 9;
    const QList<QByteArray> kept = { passThroughRecord("level"), sound("Other"), old.record(),
                                     record(3, 1, "Fire") };
    const QByteArray before = table({ sound("Fire"), door("Fire", "Fire"), kept[0], kept[1],
                                      weapon("Fire", "Fire"), kept[2], kept[3] });
    writeFile(in, before);

    ToolRun run = vktable({ u"rename"_s, in, u"sound"_s, u"Fire"_s, u"Flame"_s, u"-o"_s, out });
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "renamed sound \"Fire\" to \"Flame\" and 3 references in 2 pages\n");
    EXPECT_TRUE(run.err.contains("1 page could not be read; not changed: sound \"Fire\""));
    // The weapon's spawn names a weapon or generic, not the sound.
    EXPECT_EQ(readFile(out),
              table({ sound("Flame"), door("Flame", "Flame"), kept[0], kept[1],
                      weapon("Flame", "Fire"), kept[2], kept[3] }));
    // In place, and back.
    run = vktable({ u"rename"_s, out, u"sound"_s, u"Flame"_s, u"Fire"_s, u"-o"_s, out });
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(readFile(out), before);

    // A shared name: only the references move.
    writeFile(in, table({ sound("Fire"), door("Fire", {}), sound("Fire") }));
    run = vktable({ u"rename"_s, in, u"sound"_s, u"Fire"_s, u"Flame"_s, u"-o"_s, out });
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(readFile(out), table({ sound("Fire"), door("Flame", {}), sound("Fire") }));
    EXPECT_TRUE(run.err.contains("2 pages are named \"Fire\": the name is shared"));

    // A field that names a weapon or generic page, when a generic has the weapon's new name.
    writeFile(in, table({ weaponPage("Gun"), genericPage("Rifle"), weapon({}, "Gun") }));
    run = vktable({ u"rename"_s, in, u"weapon"_s, u"Gun"_s, u"Rifle"_s, u"-o"_s, out });
    EXPECT_TRUE(run.err.contains("1 renamed reference may name a page of another kind"));

    writeFile(in, before);
    const QString missing = dir.path(u"missing/out.gam"_s);
    const std::pair<QStringList, QByteArray> failures[] = {
        { { u"Smoke"_s, u"Flame"_s, u"-o"_s, out }, "no sound page is named \"Smoke\"" },
        { { u"Fire"_s, {}, u"-o"_s, out }, "the new name is empty" },
        { { u"Fire"_s, u"Fire"_s, u"-o"_s, out }, "the new name is the old one" },
        { { u"Fire"_s, u"Other"_s, u"-o"_s, out },
          "another sound page is already named \"Other\"" },
        { { u"Fire"_s, u"Fl\u2622me"_s, u"-o"_s, out }, "(U+2622) cannot be stored" },
        { { u"Fire"_s, u"Flame"_s, u"-o"_s, missing }, "Cannot save to" },
    };
    for (const auto &[arguments, message] : failures) {
        writeFile(out, "kept");
        run = vktable(QStringList { u"rename"_s, in, u"sound"_s } + arguments);
        EXPECT_EQ(run.exitCode, 1) << message.data();
        EXPECT_TRUE(run.err.contains(message)) << run.err.data();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(readFile(out), "kept");
    }
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(readFile(in), before);
    EXPECT_EQ(vktable({ u"rename"_s, in, u"sound"_s, u"Fire"_s, u"Flame"_s }).exitCode, 2);
}

TEST(Vktable, CsvWritesAKindAndCsvImportRewritesOnlyTheChangedPagesOrNothing)
{
    TempDir dir;
    const QString in = dir.path(u"t.gam"_s), csv = dir.path(u"w.csv"_s),
                  out = dir.path(u"out.gam"_s);
    WeaponPage laser;
    laser.name = "Laser";
    const QList<QByteArray> records = { laser.record(), sound("Zap"), weaponPage("Flak") };
    writeFile(in, table(records));

    ToolRun run = vktable({ u"csv"_s, in, u"weapon"_s, u"-o"_s, csv });
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(vktable({ u"csv"_s, in, u"weapon"_s }).out, readFile(csv));
    run = vktable({ u"csv-import"_s, in, u"weapon"_s, csv, u"-o"_s, out });
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "0 pages, 0 values will change\n");
    EXPECT_EQ(readFile(out), readFile(in));
    run = vktable({ u"csv"_s, in, u"weapon"_s, u"--columns"_s, u"particle_count"_s });
    EXPECT_EQ(run.out, "weapon_name,particle_count\r\nFlak,0\r\nLaser,0\r\n");

    writeFile(csv, "weapon_name,particle_count\r\nLaser,7\r\nGhost,1\r\n");
    run = vktable({ u"csv-import"_s, in, u"weapon"_s, csv, u"-o"_s, out });
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "1 page, 1 value will change; 1 name not found\n");
    EXPECT_TRUE(run.err.contains("no weapon page is named \"Ghost\"")) << run.err.toStdString();
    laser.particleCount = 7;
    EXPECT_EQ(readFile(out), table({ laser.record(), records[1], records[2] }));

    // A refused import writes nothing.
    QFile::remove(out);
    writeFile(csv, "weapon_name,particle_count\r\nLaser,7\r\nFlak,256\r\n");
    run = vktable({ u"csv-import"_s, in, u"weapon"_s, csv, u"-o"_s, out });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("w.csv\": row 3, column \"particle_count\": 256 is out of range"))
        << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));
    run = vktable({ u"csv"_s, in, u"weapon"_s, u"--columns"_s, u"dammage"_s });
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("no column of a weapon page has the key \"dammage\""));
    EXPECT_TRUE(run.out.isEmpty());
    for (const QStringList &bad : { QStringList { u"csv"_s, in, u"weapons"_s },
                                    QStringList { u"csv"_s, in, u"weapon"_s, u"-o"_s },
                                    QStringList { u"csv-import"_s, in, u"weapon"_s, csv } })
        EXPECT_EQ(vktable(bad).exitCode, 2);
}
