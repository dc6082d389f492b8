#include "loader.h"
#include "tablebuilder.h"
#include "testhelpers.h"

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
