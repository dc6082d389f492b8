#include "recordfile.h"
#include "tablebuilder.h"
#include "testhelpers.h"

#include <gtest/gtest.h>

#include <random>

using namespace testsupport;
using namespace Qt::StringLiterals;

TEST(RecordFile, GivesTheFilesBytesForAnySequenceOfReadsAndWindowSize)
{
    TempDir dir;
    QByteArray content(5000, Qt::Uninitialized);
    std::mt19937 random(11);
    for (char &c : content)
        c = char(random() % 7); // plenty of NULs
    const QString path = dir.path(u"bytes"_s);
    writeFile(path, content);

    for (qint64 window : { 1, 7, 64, 1000, 8000 }) {
        RecordFile file(path, u"test file"_s, window);
        std::uniform_int_distribution<qint64> count(0, 300);
        qint64 offset = 0;
        for (int step = 0; step < 2000; ++step) {
            // Mostly forward, overlapping, touching or skipping ahead; sometimes back.
            const int move = random() % 10;
            if (move < 3)
                offset += random() % 40;
            else if (move < 6)
                offset += random() % (2 * window + 2);
            else if (move < 8)
                offset -= random() % 100;
            else
                offset = random() % content.size();
            offset = qBound<qint64>(0, offset, content.size() - 1);
            const qint64 n = count(random);
            ASSERT_EQ(
                file.bytesAt(offset, n),
                QByteArrayView(content).sliced(offset).first(qMin(n, content.size() - offset)))
                << "window " << window << " step " << step;
            const qint64 limit = offset + n;
            const qint64 nul = content.indexOf('\0', offset);
            ASSERT_EQ(file.findNul(offset, limit), nul >= 0 && nul < limit ? nul : -1);
        }
        EXPECT_TRUE(file.bytesAt(content.size(), 1).isEmpty());
    }
}

TEST(RecordFile, ReadsWholeRecordsAndNamesDamagedOnes)
{
    TempDir dir;
    const QByteArray a = sound("a");
    const QByteArray b = sound(QByteArray(100, 'b'));
    const QString path = dir.path(u"records"_s);
    writeFile(path, a + b + recordWithLength(7, 3, "xy") + recordWithLength(7, 80, "short"));

    RecordFile file(path, u"working file \"sounds.$$$\""_s, 16);
    EXPECT_EQ(file.readRecord(a.size()), b);
    EXPECT_EQ(file.readRecord(0), a);
    const qint64 bad = a.size() + b.size();
    EXPECT_EQ(tableErrorOf([&] { file.readRecord(bad); }),
              u"damaged working file \"sounds.$$$\": record at byte %1 has an impossible length "
              "of 3 bytes"_s.arg(bad));
    EXPECT_EQ(tableErrorOf([&] { file.readRecord(bad + 7); }),
              u"damaged working file \"sounds.$$$\": record at byte %1 runs past the end of the "
              "file"_s.arg(bad + 7));
    const QString missing = tableErrorOf([&] { RecordFile(dir.path(u"none"_s), u"table file"_s); });
    EXPECT_TRUE(missing.startsWith(u"Cannot open the table file \""_s)) << missing.toStdString();
    EXPECT_TRUE(missing.endsWith(u"No such file or directory"_s)) << missing.toStdString();
}
