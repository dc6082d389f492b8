#include "fieldcodecs.h"
#include "loader.h"
#include "recordfile.h"
#include "tablebuilder.h"
#include "testhelpers.h"
#include "workspace.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace testsupport;
using namespace Qt::StringLiterals;

// Inputs at the limits of the record format: each ends in a clear error or a correct result,
// without reading or allocating what the file does not hold.

TEST(Limits, ARecordLengthOfFFFFFFFFIsTakenForNoMoreThanTheFileHolds)
{
    TempDir dir;
    const QString path = dir.path(u"table.gam"_s);
    const QByteArray head = sound("head");
    const QByteArray huge = recordWithLength(kind::sound, 0xFFFFFFFF, Bytes().u16(1).str("huge"));
    writeFile(path, head + huge);

    const LoadedTable loaded = LoadTableFile(path);
    EXPECT_EQ(loaded.names[kindIndex(PageKind::Sound)], QList<QByteArray> { "head" });
    EXPECT_EQ(loaded.cutOffRecord, head.size());
    writeFile(path, huge);
    EXPECT_EQ(tableErrorOf([&] { LoadTableFile(path); }),
              u"damaged table file: record at byte 0 runs past the end of the file"_s);

    // A working file holding such a record.
    writeFile(path, head + huge);
    RecordFile file(path, u"working file \"sounds.$$$\""_s);
    EXPECT_EQ(tableErrorOf([&] { file.readRecord(head.size()); }),
              u"damaged working file \"sounds.$$$\": record at byte %1 runs past the end of the "
              "file"_s.arg(head.size()));
    EXPECT_EQ(file.readRecord(0), head);

    // A record whose length field says more than its bytes: fields stop at its real end.
    RecordReader reader(huge);
    EXPECT_EQ(reader.length(), 0xFFFFFFFFu);
    EXPECT_EQ(reader.ReadString(), "huge");
    EXPECT_EQ(tableErrorOf([&] { reader.ReadInt(); }),
              u"damaged page: a field at byte 12 runs past the end of its record"_s);
}

TEST(Limits, AHundredThousandPagesOfOneKindLoadEditAndSave)
{
    TempDir dir;
    const QString path = dir.path(u"table.gam"_s);
    constexpr int count = 100000;
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += sound("page " + QByteArray::number(count - i)); // the reverse of list order
    writeFile(path, bytes);

    Workspace workspace(dir.path());
    workspace.load(path);
    ASSERT_EQ(workspace.pages().pageCount(PageKind::Sound), count);
    QList<QByteArray> names = workspace.pageNames(PageKind::Sound);
    const int position = int(names.indexOf("page 99999"));
    ASSERT_GE(position, 0);
    EXPECT_EQ(workspace.readPage(PageKind::Sound, position), sound("page 99999"));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::unique(names.begin(), names.end()), names.end()); // each page listed once

    workspace.applyPage(PageKind::Sound, position, sound("page 99999", 5), "page 99999");
    workspace.addPage(PageKind::Sound, sound("added"), "added");
    const QString saved = dir.path(u"saved.gam"_s);
    workspace.save(saved);
    EXPECT_EQ(readFile(saved).size(), bytes.size() + sound("added").size());

    Workspace reloaded(dir.path());
    reloaded.load(saved);
    ASSERT_EQ(reloaded.pages().pageCount(PageKind::Sound), count + 1);
    const int again = int(reloaded.pageNames(PageKind::Sound).indexOf("page 99999"));
    ASSERT_GE(again, 0);
    EXPECT_EQ(reloaded.readPage(PageKind::Sound, again), sound("page 99999", 5));
    EXPECT_GE(reloaded.pageNames(PageKind::Sound).indexOf("added"), 0);
}

TEST(Limits, ATenMegabytePageNameIsListedInFullAndReadCapped)
{
    TempDir dir;
    const QString path = dir.path(u"table.gam"_s);
    const QByteArray name(10 * 1000 * 1000, 'n');
    SoundPage page;
    page.name = name;
    page.waveFile = "boom.wav";
    page.maxDistance = 42;
    const QByteArray record = page.record();
    writeFile(path, sound("a") + record + passThroughRecord("p"));

    Workspace workspace(dir.path());
    workspace.load(path);
    EXPECT_EQ(workspace.pageNames(PageKind::Sound), (QList<QByteArray> { "a", name }));
    EXPECT_EQ(workspace.readPage(PageKind::Sound, 1), record);

    // An editor reads the first 35 characters and the fields after the name where they are.
    RecordReader reader(record);
    EXPECT_EQ(reader.ReadString(), QByteArray(RecordReader::stringCap, 'n'));
    EXPECT_EQ(reader.ReadString(), "boom.wav");

    const QString saved = dir.path(u"saved.gam"_s);
    workspace.save(saved);
    EXPECT_EQ(readFile(saved), sound("a") + record + passThroughRecord("p"));

    // Without its NUL: running into the next record is damage; the end of the file cuts the
    // page short.
    const QByteArray noNul =
        recordWithLength(kind::sound, 6 + name.size(), Bytes().u16(1).raw(name));
    writeFile(path, noNul + sound("b"));
    EXPECT_EQ(tableErrorOf([&] { LoadTableFile(path); }),
              u"damaged table file: record at byte 0 has a name that runs past its end"_s);
    writeFile(path,
              sound("b") +
                  recordWithLength(kind::sound, 100 + name.size(), Bytes().u16(1).raw(name)));
    EXPECT_EQ(LoadTableFile(path).cutOffRecord, sound("b").size());
}
