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

TEST(VktableList, PrintsEveryPageInListOrderThenThePassThroughPages)
{
    TempDir dir;
    const QString path = dir.path(u"t.gam"_s);
    SoundPage b, upperA, a, old;
    b.name = "b";
    upperA.name = "A";
    a.name = "a";
    old.name = "old";
    old.version = 9;
    TexturePage wall;
    wall.name = "Wall \xe9t\xe9"; // raw bytes, printed as they are
    GenericPage drone;
    drone.name = "Drone";
    writeFile(
        path,
        table({ passThroughRecord("p1"), b.record(), wall.record(), upperA.record(), old.record(),
                a.record(), drone.record(), passThroughRecord("p2"), ShipPage().record(),
                DoorPage().record(), WeaponPage().record(), record(3, 1, "skipped") }));

    const ToolRun run = vktable({ u"list"_s, path });
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out,
              "texture\t0\t1\tWall \xe9t\xe9\n"
              "sound\t0\t2\tA\n"
              "sound\t1\t3\ta\n"
              "sound\t2\t1\tb\n"
              "weapon\t0\t1\tNew Weapon\n"
              "generic\t0\t1\tDrone\n"
              "door\t0\t1\tNew Door\n"
              "ship\t0\t1\tNew Ship\n"
              "passthrough\t0\t1\t\n"
              "passthrough\t1\t2\t\n");
    EXPECT_EQ(run.err.count(QByteArray(kVersionMismatchMessage.data())), 1);
}

TEST(VktableResave, WritesWhatSaveWouldAndCreatesNothingWhenEmpty)
{
    TempDir dir;
    const QString in = dir.path(u"in.gam"_s);
    const QString out = dir.path(u"out.gam"_s);
    SoundPage z, y;
    z.name = "z";
    y.name = "y";
    writeFile(in, table({ z.record(), record(3, 1, "dropped"), y.record() }));

    ToolRun run = vktable({ u"resave"_s, in, out });
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "Table file saved\n");
    EXPECT_EQ(readFile(out), table({ y.record(), z.record() }));

    run = vktable({ u"resave"_s, in, in }); // over the loaded file
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(readFile(in), table({ y.record(), z.record() }));

    const QString empty = dir.path(u"empty.gam"_s);
    writeFile(empty, record(3, 1, "nothing kept"));
    run = vktable({ u"resave"_s, empty, dir.path(u"new.gam"_s) });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("Nothing to save!"));
    EXPECT_FALSE(QFile::exists(dir.path(u"new.gam"_s)));
}

TEST(Vktable, ReportsErrorsOnStandardErrorWithStatusOne)
{
    TempDir dir;
    const QString damaged = dir.path(u"damaged.gam"_s);
    SoundPage page;
    writeFile(damaged, page.record() + recordWithLength(7, 3, {}));

    ToolRun run = vktable({ u"list"_s, damaged });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains("damaged table file: record at byte 54 has an impossible length "
                                 "of 3 bytes"));

    run = vktable({ u"resave"_s, damaged, dir.path(u"out.gam"_s) });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(QFile::exists(dir.path(u"out.gam"_s)));

    run = vktable({ u"frobnicate"_s });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("Usage:"));

    run = vktable({ u"--help"_s });
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains("list FILE"));
    EXPECT_TRUE(run.out.contains("resave IN OUT"));
}
