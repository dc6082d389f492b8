#include "mappedfile.h"
#include "recordfile.h"
#include "savefile.h"
#include "tablebuilder.h"
#include "tableerror.h"
#include "testhelpers.h"
#include "workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include <sys/fsuid.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

// Root passes every permission check; the tests run as root in CI. For the guard's lifetime
// this thread checks file access as an ordinary user, and the process stays as it was.
class AsOrdinaryUser
{
public:
    AsOrdinaryUser()
    {
        if (geteuid() == 0) {
            setfsuid(65534);
            EXPECT_EQ(setfsuid(uid_t(-1)), 65534u); // reports the identity in force
        }
    }
    ~AsOrdinaryUser()
    {
        if (geteuid() == 0)
            setfsuid(0);
    }
};

class Faults : public testing::Test
{
protected:
    void SetUp() override
    {
        // Others may enter the scratch directory but write only in "out".
        ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
        ASSERT_TRUE(QDir(dir.path()).mkdir(u"work"_s));
        ASSERT_TRUE(QDir(dir.path()).mkdir(u"out"_s));
        ASSERT_TRUE(QFile::setPermissions(dir.path(u"out"_s), QFile::Permissions(0x7777)));
        writeFile(target, "old");
    }

    void load(const QList<QByteArray> &records)
    {
        writeFile(tablePath, table(records));
        workspace.load(tablePath);
    }

    QStringList files(const QString &sub) const
    {
        return QDir(dir.path() + u'/' + sub)
            .entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
    }

    TempDir dir;
    const QString tablePath = dir.path(u"table.gam"_s);
    const QString target = dir.path(u"out/target.gam"_s);
    const QString copy = dir.path(u"out/copy.gam"_s); // new, so an ordinary user may write it
    const QString soundsFile = dir.path(u"work/sounds.$$$"_s);
    Workspace workspace { dir.path(u"work"_s) };
};

} // namespace

TEST_F(Faults, AFullDiskLeavesTheOldFilesWholeAndNoTemporaryFile)
{
    QList<QByteArray> records;
    for (int i = 0; i < 400; ++i)
        records.append(sound("sound number " + QByteArray::number(i)));
    load(records);
    workspace.applyPage(PageKind::Sound, 0, sound("sound number 0", 1), "sound number 0");
    const QByteArray working = readFile(soundsFile);
    {
        FileSizeLimit limit(8192);
        EXPECT_THROW(workspace.save(target), TableError);
        EXPECT_THROW(workspace.save(tablePath), TableError);
        EXPECT_EQ(tableErrorOf([&] {
                      workspace.addPage(PageKind::Sound, sound(QByteArray(9000, 'x')), "x");
                  }),
                  u"Cannot write the working file \"%1\": File too large"_s.arg(soundsFile));
    }
    EXPECT_EQ(readFile(target), "old");
    EXPECT_EQ(readFile(tablePath), table(records));
    EXPECT_EQ(readFile(soundsFile), working); // no part of a record
    EXPECT_EQ(files(u"out"_s), QStringList { u"target.gam"_s });
    EXPECT_EQ(files(u""_s), QStringList { u"table.gam"_s });
    EXPECT_EQ(workspace.pageNames(PageKind::Sound).size(), 400);
}

// Records in list order are copied by the kernel as one run; the limit cuts that copy short.
TEST_F(Faults, ACopyOfLongRunsCutShortLeavesTheOldTargetAndAWholeSaveKeepsEveryByte)
{
    QList<QByteArray> records;
    for (int i = 0; i < 4000; ++i)
        records.append(sound("sound " + QByteArray::number(10000 + i)));
    load(records);
    ASSERT_GT(readFile(tablePath).size(), 3 * 65536);
    workspace.applyPage(PageKind::Sound, 1000, sound("sound 11000", 2), "sound 11000");
    {
        FileSizeLimit limit(65536 + 1000);
        EXPECT_NE(tableErrorOf([&] { workspace.save(target); }).indexOf(u"File too large"_s), -1);
    }
    EXPECT_EQ(readFile(target), "old");
    EXPECT_EQ(files(u"out"_s), QStringList { u"target.gam"_s });

    records[1000] = sound("sound 11000", 2);
    workspace.save(target);
    EXPECT_EQ(readFile(target), table(records));
}

// The kernel copies nothing from a memory file to a file on a disk, so the copy goes through
// the buffer, more than one buffer's worth, and stops where the source ends.
TEST_F(Faults, ACopyTheKernelRefusesGoesThroughTheBufferAndStopsAtTheSourcesEnd)
{
    QByteArray bytes(2'500'000, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7 + i / 251);
    const int source = memfd_create("table", 0);
    ASSERT_GE(source, 0);
    ASSERT_EQ(::write(source, bytes.constData(), size_t(bytes.size())), bytes.size());

    SafeSave out(target);
    int readError = -1;
    EXPECT_EQ(out.copyFrom(source, 3, bytes.size() - 3, readError), bytes.size() - 3);
    EXPECT_EQ(out.copyFrom(source, 10, 1000, readError), 1000);
    EXPECT_EQ(out.copyFrom(source, bytes.size() - 5, 100, readError), 5);
    EXPECT_EQ(readError, 0);
    out.commit();
    ::close(source);
    EXPECT_EQ(readFile(target), bytes.mid(3) + bytes.mid(10, 1000) + bytes.right(5));
}

// Out of file order, records go to the kernel from the load's mapping of the table file.
TEST_F(Faults, ASaveOutOfFileOrderKeepsEveryByteAndFailsWholeOnAFullDiskOrACutFile)
{
    QList<QByteArray> records;
    for (int i = 0; i < 3000; ++i)
        records.append(sound("sound " + QByteArray::number(13000 - i)));
    load(records);
    std::reverse(records.begin(), records.end());
    workspace.applyPage(PageKind::Sound, 7, sound("sound 10007", 3), "sound 10007");
    records[7] = sound("sound 10007", 3);
    workspace.save(copy);
    EXPECT_EQ(readFile(copy), table(records));

    {
        FileSizeLimit limit(65536 + 1000);
        EXPECT_EQ(tableErrorOf([&] { workspace.save(target); }),
                  u"Cannot write \"%1\": File too large"_s.arg(target));
    }
    // Cut short by another program while the save reads it.
    EXPECT_EQ(tableErrorOf([&] {
                  workspace.save(target, [&](int percent) {
                      if (percent == 50) {
                          ASSERT_TRUE(QFile::resize(tablePath, 4096));
                      }
                  });
              }),
              u"Cannot read the table file \"%1\": the file ended early"_s.arg(tablePath));
    EXPECT_EQ(readFile(target), "old");
    EXPECT_EQ(files(u"out"_s), (QStringList { u"copy.gam"_s, u"target.gam"_s }));
}

TEST_F(Faults, ATableFileGoneOrChangedAfterLoadingIsNeitherReadNorSaved)
{
    load({ sound("a"), sound("b") });
    workspace.addPage(PageKind::Sound, sound("c"), "c");
    ASSERT_TRUE(QFile::remove(tablePath));
    EXPECT_TRUE(tableErrorOf([&] {
                    workspace.readPage(PageKind::Sound, 0);
                }).startsWith(u"Cannot open the table file \"%1\""_s.arg(tablePath)));
    EXPECT_THROW(workspace.save(target), TableError);
    EXPECT_THROW(workspace.save(tablePath), TableError); // over the file that was loaded

    // Offsets into a file of another layout would name other bytes than the pages loaded.
    writeFile(tablePath, table({ sound("zz"), sound("a"), sound("b") }));
    const QString changed = u"The table file \"%1\" has changed since it was loaded, so its "
                            "pages are no longer where they were. Load it again."_s.arg(tablePath);
    EXPECT_EQ(tableErrorOf([&] { workspace.readPage(PageKind::Sound, 0); }), changed);
    EXPECT_EQ(tableErrorOf([&] { workspace.save(target); }), changed);
    EXPECT_EQ(readFile(target), "old");
    EXPECT_EQ(files(u"out"_s), QStringList { u"target.gam"_s });
}

TEST_F(Faults, AWorkingFileDeletedInUseNeverLendsItsPagesAnotherRecord)
{
    load({ sound("a"), sound("b"), sound("c") });
    workspace.applyPage(PageKind::Sound, 0, sound("a", 1), "a");
    ASSERT_TRUE(QFile::remove(soundsFile));
    const QString missing = u"Cannot open the working file \"sounds.$$$\" \"%1\": No such file or "
                            "directory"_s.arg(soundsFile);
    EXPECT_EQ(tableErrorOf([&] { workspace.readPage(PageKind::Sound, 0); }), missing);
    EXPECT_EQ(tableErrorOf([&] { workspace.save(target); }), missing);

    // The new record goes after everything written before, so the lost offset reads as damage
    // rather than as the new page's record.
    workspace.applyPage(PageKind::Sound, 2, sound("c", 3), "c");
    EXPECT_TRUE(tableErrorOf([&] {
                    workspace.readPage(PageKind::Sound, 0);
                }).startsWith(u"damaged working file \"sounds.$$$\""_s));
    EXPECT_EQ(workspace.readPage(PageKind::Sound, 2), sound("c", 3));
    EXPECT_EQ(readFile(target), "old");
}

TEST_F(Faults, AReadOnlyTableFileAndWorkspaceLoseNothing)
{
    // In a directory where the user may write, so only the file's own mode protects it.
    const QString path = dir.path(u"out/readonly.gam"_s);
    const QByteArray bytes = table({ sound("b"), sound("a") });
    writeFile(path, bytes);
    ASSERT_TRUE(
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    workspace.load(path);
    workspace.applyPage(PageKind::Sound, 0, sound("a", 1), "a");
    ASSERT_TRUE(QFile::setPermissions(dir.path(u"work"_s), QFile::Permissions(0x5555)));

    AsOrdinaryUser user;
    workspace.load(path);
    const PageDirectory before = workspace.pages();
    // The working file exists but cannot be written; the door working file cannot be made.
    EXPECT_EQ(tableErrorOf([&] { workspace.applyPage(PageKind::Sound, 1, sound("b", 2), "b"); }),
              u"Cannot write the working file \"%1\": Permission denied"_s.arg(soundsFile));
    EXPECT_THROW(workspace.addPage(PageKind::Door, DoorPage().record(), "New Door"), TableError);
    EXPECT_EQ(workspace.pages(), before);
    EXPECT_EQ(workspace.pageNames(PageKind::Sound), (NameList { "a", "b" }));
    EXPECT_TRUE(workspace.pageNames(PageKind::Door).isEmpty());

    workspace.save(copy);
    EXPECT_EQ(readFile(copy), table({ sound("a"), sound("b") }));
    EXPECT_EQ(tableErrorOf([&] { workspace.save(path); }),
              u"Cannot save to \"%1\": Permission denied"_s.arg(path));
    const QString nowhere = dir.path(u"out/no/such/dir/out.gam"_s); // and no folder is made
    EXPECT_EQ(tableErrorOf([&] { workspace.save(nowhere); }),
              u"Cannot save to \"%1\": No such file or directory"_s.arg(nowhere));
    EXPECT_FALSE(QFileInfo::exists(dir.path(u"out/no"_s)));
    EXPECT_EQ(readFile(path), bytes);
    EXPECT_EQ(files(u"work"_s), QStringList { u"sounds.$$$"_s });
    EXPECT_EQ(readFile(soundsFile), sound("a", 1));
}

TEST_F(Faults, ATenMegabytePageNameIsListedInFullAndSavedWhole)
{
    const QByteArray name(10 * 1000 * 1000, 'n');
    const QByteArray big = sound(name, 42);
    load({ sound("a"), big, passThroughRecord("p") });
    EXPECT_EQ(workspace.pageNames(PageKind::Sound), (NameList { "a", name }));
    EXPECT_EQ(workspace.readPage(PageKind::Sound, 1), big);
    workspace.save(target);
    EXPECT_EQ(readFile(target), table({ sound("a"), big, passThroughRecord("p") }));
    // Listed in another order than the file's, the table is read from a mapping of it whole.
    load({ big, passThroughRecord("p"), sound("a") });
    workspace.save(target);
    EXPECT_EQ(readFile(target), table({ sound("a"), big, passThroughRecord("p") }));
}

TEST_F(Faults, AFileCutShortUnderItsMappingReadsAsZerosAndSaysSoAndOtherBusErrorsStillEnd)
{
    // Four memory pages and more, so that the cut leaves one of them.
    const QByteArray bytes = table({ sound(QByteArray(4 * 4096, 'a')), sound("b") });
    const QString other = dir.path(u"other.gam"_s);
    writeFile(tablePath, bytes);
    writeFile(other, bytes);
    QFile file(tablePath);
    QFile otherFile(other);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly) && otherFile.open(QIODevice::ReadOnly));
    const MappedFile mapped(file.handle(), file.size());
    const MappedFile untouched(otherFile.handle(), otherFile.size());
    ASSERT_TRUE(mapped.isMapped() && untouched.isMapped());
    EXPECT_EQ(mapped.bytes().toByteArray(), bytes);
    EXPECT_FALSE(mapped.cutShort());

    ASSERT_TRUE(QFile::resize(tablePath, 4096));
    EXPECT_EQ(mapped.bytes().first(4096).toByteArray(), bytes.first(4096));
    EXPECT_EQ(mapped.bytes().sliced(4096).toByteArray(), QByteArray(bytes.size() - 4096, '\0'));
    EXPECT_TRUE(mapped.cutShort());
    EXPECT_EQ(untouched.bytes().toByteArray(), bytes);
    EXPECT_FALSE(untouched.cutShort());

    // A save reading records from a mapping fails as a read that ends early.
    const QString third = dir.path(u"third.gam"_s);
    writeFile(third, bytes);
    RecordFile source(third, u"table file"_s);
    source.readWhole();
    const QByteArray first = sound(QByteArray(4 * 4096, 'a'));
    EXPECT_EQ(source.readRecord(0), first);
    EXPECT_NO_THROW(source.confirmReads());
    ASSERT_TRUE(QFile::resize(third, 4096));
    EXPECT_EQ(source.readRecord(0).sliced(4096), QByteArray(first.size() - 4096, '\0'));
    EXPECT_EQ(tableErrorOf([&] { source.confirmReads(); }),
              u"Cannot read the table file \"%1\": the file ended early"_s.arg(third));

    // Where no more files may be mapped, the table is read instead.
    std::vector<std::unique_ptr<MappedFile>> taken;
    while (taken.size() < 100 && (taken.empty() || taken.back()->isMapped()))
        taken.push_back(std::make_unique<MappedFile>(otherFile.handle(), otherFile.size()));
    ASSERT_FALSE(taken.back()->isMapped());
    workspace.load(other);
    EXPECT_EQ(workspace.pageNames(PageKind::Sound), (NameList { QByteArray(4 * 4096, 'a'), "b" }));
    EXPECT_EQ(workspace.readPage(PageKind::Sound, 1), sound("b"));
    taken.clear();

    // A mapping of anyone else's that runs past its file's end ends the process, as always.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            void *const raw =
                mmap(nullptr, size_t(bytes.size()), PROT_READ, MAP_PRIVATE, otherFile.handle(), 0);
            QFile::resize(other, 0);
            std::fprintf(stderr, "%d", static_cast<volatile const char *>(raw)[4096]);
        },
        "");
}
