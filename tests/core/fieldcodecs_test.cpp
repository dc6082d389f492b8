#include "fieldcodecs.h"
#include "tablebuilder.h"
#include "tableerror.h"
#include "testhelpers.h"

#include <gtest/gtest.h>

using namespace testsupport;
using namespace Qt::StringLiterals;

TEST(FieldCodecs, ByteAndWordFieldsKeepTheLowBits)
{
    RecordWriter writer(PageKind::Door);
    writer.WriteByteText(u"300");
    writer.WriteByteText(u"-1");
    writer.WriteWordText(u"70000");
    writer.WriteWordText(u"-1");
    RecordReader reader(writer.record());
    EXPECT_EQ(reader.ReadByte(), 44);
    EXPECT_EQ(reader.ReadByte(), 255);
    EXPECT_EQ(reader.ReadWord(), 4464);
    EXPECT_EQ(reader.ReadWord(), 65535);
    EXPECT_TRUE(reader.atEnd());
}

TEST(FieldCodecs, AFieldPastTheEndOfItsRecordIsADamagedPage)
{
    // The length field says more than the record holds: fields stop at its real end.
    RecordReader reader(recordWithLength(kind::sound, 0xFFFFFFFF, Bytes().u16(1).str("huge")));
    EXPECT_EQ(reader.ReadString(), "huge");
    EXPECT_EQ(tableErrorOf([&] { reader.ReadInt(); }),
              u"damaged page: a field at byte 12 runs past the end of its record"_s);
    RecordReader noNul(recordWithLength(kind::sound, 9, Bytes().u16(1).raw("abc")));
    EXPECT_THROW(noNul.ReadString(), TableError);
}
