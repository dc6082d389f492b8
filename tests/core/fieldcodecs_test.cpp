#include "fieldcodecs.h"
#include "tablebuilder.h"
#include "tableerror.h"

#include <gtest/gtest.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

TEST(RecordWriter, BuildsASoundRecordWhoseLengthCountsWhatWasWritten)
{
    // A sound page named Laser with no wave file: 5 + 0 + 44.
    RecordWriter writer(PageKind::Sound);
    writer.WriteString("Laser");
    writer.WriteString("");
    writer.WriteIntText(u""); // flags
    for (int i = 0; i < 2; ++i)
        writer.WriteIntText(u"0");
    writer.WriteFloatText(u"");
    writer.WriteIntText(u"0");
    writer.WriteIntText(u"0");
    for (int i = 0; i < 3; ++i)
        writer.WriteFloatText(u"0");
    const QByteArray record = writer.record();

    SoundPage expected;
    expected.name = "Laser";
    EXPECT_EQ(record, expected.record());
    EXPECT_EQ(record.size(), 50); // the next record begins 50 bytes after this kind byte
    RecordReader reader(record);
    EXPECT_EQ(reader.kind(), 7);
    EXPECT_EQ(reader.length(), 49u);
    EXPECT_EQ(reader.version(), 1);
}

TEST(RecordWriter, KeepsTheLowBitsOfByteAndWordFields)
{
    RecordWriter writer(PageKind::Door);
    writer.WriteByteText(u"300");
    writer.WriteByteText(u"-1");
    writer.WriteByteText(u"256");
    writer.WriteWordText(u"70000");
    writer.WriteWordText(u"-1");
    writer.WriteWordText(u"");
    RecordReader reader(writer.record());
    EXPECT_EQ(reader.ReadByte(), 44);
    EXPECT_EQ(reader.ReadByteText(), u"255"_s);
    EXPECT_EQ(reader.ReadByte(), 0);
    EXPECT_EQ(reader.ReadWord(), 4464);
    EXPECT_EQ(reader.ReadWordText(), u"65535"_s);
    EXPECT_EQ(reader.ReadWordText(), u"0"_s);
    EXPECT_TRUE(reader.atEnd());
}

TEST(RecordWriter, FailsOnABadTextWithoutTouchingWhatItBuilt)
{
    RecordWriter writer(PageKind::Sound);
    writer.WriteString("A");
    const QByteArray before = writer.record();
    EXPECT_THROW(writer.WriteIntText(u"12abc"), TableError);
    EXPECT_THROW(writer.WriteFloatText(u"1E39"), TableError);
    EXPECT_THROW(writer.WriteByteText(u"4294967296"), TableError);
    EXPECT_EQ(writer.record(), before);
}

TEST(RecordReader, ReadsTheFieldsOfARecordBackAsText)
{
    const QByteArray record = testsupport::record(
        kind::texture, 7,
        Bytes().str("Rock").f32(0.123456f).f32(123.456f).f32(20000).i32(-7).u16(513).u8(9).i32(-1));
    RecordReader reader(record);
    EXPECT_EQ(reader.ReadString(), "Rock");
    EXPECT_EQ(reader.ReadFloatText(), u"0.1235"_s);
    EXPECT_EQ(reader.ReadFloatText(), u"123.5"_s);
    EXPECT_EQ(reader.ReadFloatText(), u"2E4"_s);
    EXPECT_EQ(reader.ReadIntText(), u"-7"_s);
    EXPECT_EQ(reader.ReadWord(), 513);
    EXPECT_EQ(reader.ReadByteText(), u"9"_s);
    EXPECT_EQ(reader.ReadInt(), -1);
    EXPECT_TRUE(reader.atEnd());

    // Applying what was shown stores the four-digit value.
    RecordWriter writer(PageKind::Texture);
    writer.WriteFloatText(u"0.1235");
    RecordReader again(writer.record());
    EXPECT_EQ(again.ReadFloatText(), u"0.1235"_s);
    EXPECT_EQ(again.record().mid(7), Bytes().f32(0.1235f).bytes());
}

TEST(RecordReader, CapsStringsAt35CharactersAndStopsAfterTheNul)
{
    const QByteArray forty(40, 'x');
    RecordReader reader(record(kind::sound, 1, Bytes().str(forty).str("").str("next")));
    EXPECT_EQ(reader.ReadString(), QByteArray(35, 'x'));
    EXPECT_EQ(reader.position(), 7 + 41); // after the 41st byte, the NUL
    EXPECT_EQ(reader.ReadString(), QByteArray());
    EXPECT_EQ(reader.ReadString(), "next");

    // Written in full: the cap belongs to reading only.
    RecordWriter writer(PageKind::Sound);
    writer.WriteString(forty);
    EXPECT_EQ(writer.record().size(), 7 + 41);
}

TEST(RecordReader, NeverReadsPastItsRecord)
{
    // A text without its NUL, and numbers cut short, are damaged pages.
    RecordReader noNul(recordWithLength(kind::sound, 9, Bytes().u16(1).raw("abc")));
    EXPECT_THROW(noNul.ReadString(), TableError);

    RecordReader shortNumber(record(kind::sound, 1, Bytes().u16(5)));
    EXPECT_THROW(shortNumber.ReadInt(), TableError);
    EXPECT_EQ(shortNumber.ReadWord(), 5); // a failed read consumed nothing
    EXPECT_THROW(shortNumber.ReadByte(), TableError);

    EXPECT_THROW(RecordReader(QByteArray("\x07\x06\x00", 3)), TableError);
}
