#include "fieldcodecs.h"
#include "numbertext.h"
#include "pagetext.h"
#include "tablebuilder.h"
#include "tableerror.h"
#include "testhelpers.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

using namespace NumberText;
using namespace testsupport;
using namespace Qt::StringLiterals;

TEST(FloatText, ShowsFourSignificantDigitsRoundedHalfAwayFromZero)
{
    const std::pair<float, const char *> shown[] = {
        { 1.5f, "1.5" },           { 1234.56f, "1235" },
        { 0.0001f, "0.0001" },     { 0.00009999f, "9.999E-5" },
        { 9999.0f, "9999" },       { 10000.0f, "1E4" },
        { -12346.0f, "-1.235E4" }, { 1.0625f, "1.063" },
        { -1.0625f, "-1.063" },    { 1.0624f, "1.062" },
        { 9999.5f, "1E4" },        { 99.996f, "100" },
        { FLT_MAX, "3.403E38" },   { -INFINITY, "-INF" },
        { INFINITY, "INF" },       { NAN, "NAN" }
    };
    for (const auto &[value, text] : shown)
        EXPECT_EQ(fromFloat(value).toStdString(), text) << value;
}

TEST(FloatText, ConvertsBackIncludingTheLargestFloatAndRejectsOtherTexts)
{
    auto value = [](QStringView t) {
        const FloatResult r = toFloat(t);
        EXPECT_EQ(r.status, FloatStatus::Ok) << t.toString().toStdString();
        return r.value;
    };
    EXPECT_EQ(value(u"1.235e4"), 12350.0f);
    EXPECT_EQ(value(u" .5 "), 0.5f);
    EXPECT_EQ(value(u"1E-50"), 0.0f); // below the smallest float: zero, as the game reads it
    EXPECT_EQ(value(u"3.403E38"), FLT_MAX); // what the largest float shows must apply again
    EXPECT_EQ(value(u"-3.403E38"), -FLT_MAX);
    EXPECT_TRUE(std::isinf(value(u"-inf")) && value(u"-inf") < 0);
    EXPECT_TRUE(std::isnan(value(u"NAN")));
    // The separator is '.' whatever the locale.
    for (const QString &bad : { u"1,5"_s, u"1.5.2"_s, u"."_s, u"1E+"_s, u"12abc"_s, u"0x10"_s,
                                u"1 5"_s, u"INFINITY"_s }) {
        EXPECT_EQ(toFloat(bad).status, FloatStatus::Invalid) << bad.toStdString();
    }
    EXPECT_EQ(toFloat(u"-3.404E38").status, FloatStatus::OutOfRange);
    EXPECT_EQ(toFloat(u"1E999999999999").status, FloatStatus::OutOfRange);
}

TEST(IntText, ConvertsSigned32BitDecimalsOnly)
{
    EXPECT_EQ(toInt(u" +007 "), 7);
    EXPECT_EQ(toInt(u"-2147483648"), std::numeric_limits<qint32>::min());
    EXPECT_EQ(toInt(u"2147483647"), 2147483647);
    for (const QString &bad :
         { u"2147483648"_s, u"-2147483649"_s, u"1.5"_s, u""_s, u"-"_s, u"1e3"_s, u"٣"_s }) {
        EXPECT_FALSE(toInt(bad).has_value()) << bad.toStdString();
    }
}

TEST(NumberText, NamesTheBadTextWhenWritingAndInTheFieldCheck)
{
    EXPECT_EQ(intForWriting(u""), 0);
    EXPECT_EQ(floatForWriting(u""), 0.0f);
    EXPECT_EQ(tableErrorOf([] { intForWriting(u"12abc"); }),
              u"'12abc' is not a valid integer value"_s);
    EXPECT_EQ(tableErrorOf([] { floatForWriting(u"1.2.3"); }),
              u"'1.2.3' is not a valid float value"_s);
    EXPECT_EQ(tableErrorOf([] { floatForWriting(u"1E39"); }),
              u"'1E39' is outside the range of a float value"_s);
    EXPECT_FALSE(checkNumberField(u"", NumberField::Float));
    EXPECT_FALSE(checkNumberField(u"70000", NumberField::Integer)); // range is the write's job
    EXPECT_EQ(checkNumberField(u"1.5", NumberField::Integer),
              u"Please enter a correct integer value"_s);
    EXPECT_EQ(checkNumberField(u"1E39", NumberField::Float),
              u"Please enter a correct float value"_s);
}

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

TEST(PageText, EveryByteComesBackAndWhatWindows1252LacksIsRefusedByName)
{
    QByteArray all;
    for (int byte = 1; byte < 256; ++byte)
        all.append(char(byte));
    EXPECT_EQ(bytesFromText(textFromBytes(all)), all);
    EXPECT_EQ(bytesFromText(u"\u00e9\u20ac"), QByteArray("\xe9\x80"));
    EXPECT_EQ(textFromBytes("\x81\x9f"), u"\u0081\u0178"_s);
    EXPECT_TRUE(isPrintableByte(0xf6) && isPrintableByte(0x80) && isPrintableByte('~'));
    EXPECT_FALSE(isPrintableByte(0x81) || isPrintableByte(0x7f) || isPrintableByte('\t'));
    for (const QString &text : { u"H\u0151"_s, u"a\U0001F600"_s, u"a\0b"_s }) {
        EXPECT_TRUE(unstorableCharacter(text)) << text.toStdString();
        EXPECT_THROW(bytesFromText(text), TableError);
    }
    EXPECT_EQ(unstorableMessage(0x151), u"The character \"\u0151\" (U+0151) cannot be stored in "
                                         u"a table file: its texts are Windows-1252"_s);
    EXPECT_EQ(*unstorableCharacter(u"a\U0001F600"_s), char32_t(0x1F600));
}
