#include "numbertext.h"
#include "tableerror.h"
#include "testhelpers.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <random>

using namespace NumberText;
using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

std::string text(float value)
{
    return fromFloat(value).toStdString();
}

} // namespace

TEST(FloatText, FollowsTheGeneralFormatWithFourSignificantDigits)
{
    EXPECT_EQ(text(1.5f), "1.5");
    EXPECT_EQ(text(1234.56f), "1235");
    EXPECT_EQ(text(0.05f), "0.05");
    EXPECT_EQ(text(12346.0f), "1.235E4");
    EXPECT_EQ(text(0.00001f), "1E-5");
    EXPECT_EQ(text(20000.0f), "2E4");
    EXPECT_EQ(text(0.123456f), "0.1235");
    EXPECT_EQ(text(123.456f), "123.5");
    EXPECT_EQ(text(100.0f), "100");
    EXPECT_EQ(text(1.0f), "1");
    EXPECT_EQ(text(0.0f), "0");
    EXPECT_EQ(text(-0.0f), "0");
}

TEST(FloatText, RoundsHalfAwayFromZeroAtTheFourthDigit)
{
    EXPECT_EQ(text(1.0625f), "1.063"); // an exact tie in binary
    EXPECT_EQ(text(-1.0625f), "-1.063");
    EXPECT_EQ(text(1.0624f), "1.062");
    EXPECT_EQ(text(2.5f), "2.5");
    EXPECT_EQ(text(9999.5f), "1E4"); // the carry moves the exponent
    EXPECT_EQ(text(0.99996f), "1");
    EXPECT_EQ(text(99.996f), "100");
    EXPECT_EQ(text(1.00004f), "1");
}

TEST(FloatText, SwitchesToScientificOutsideTheFixedRange)
{
    EXPECT_EQ(text(0.0001f), "0.0001"); // E = -3, still fixed
    EXPECT_EQ(text(0.00012346f), "0.0001235"); // fixed keeps all four digits
    EXPECT_EQ(text(0.00009999f), "9.999E-5");
    EXPECT_EQ(text(9999.0f), "9999"); // E = 4, still fixed
    EXPECT_EQ(text(10000.0f), "1E4");
    EXPECT_EQ(text(123456789.0f), "1.235E8");
    EXPECT_EQ(text(FLT_MAX), "3.403E38");
    EXPECT_EQ(text(std::numeric_limits<float>::denorm_min()), "1.401E-45");
}

TEST(FloatText, SignsInfinityAndNotANumber)
{
    EXPECT_EQ(text(-1.5f), "-1.5");
    EXPECT_EQ(text(-12346.0f), "-1.235E4");
    EXPECT_EQ(text(-0.00001f), "-1E-5");
    EXPECT_EQ(text(std::numeric_limits<float>::infinity()), "INF");
    EXPECT_EQ(text(-std::numeric_limits<float>::infinity()), "-INF");
    EXPECT_EQ(text(std::numeric_limits<float>::quiet_NaN()), "NAN");
}

TEST(FloatText, ConvertsBackToTheNearestFloatOfItsDigits)
{
    auto value = [](QStringView t) {
        const FloatResult r = toFloat(t);
        EXPECT_EQ(r.status, FloatStatus::Ok) << t.toString().toStdString();
        return r.value;
    };
    EXPECT_EQ(value(u"1.5"), 1.5f);
    EXPECT_EQ(value(u"2E4"), 20000.0f);
    EXPECT_EQ(value(u"1.235e4"), 12350.0f);
    EXPECT_EQ(value(u"1E-5"), 0.00001f);
    EXPECT_EQ(value(u"-0.1235"), -0.1235f);
    EXPECT_EQ(value(u"+3"), 3.0f);
    EXPECT_EQ(value(u".5"), 0.5f);
    EXPECT_EQ(value(u"5."), 5.0f);
    EXPECT_EQ(value(u" 7 "), 7.0f);
    EXPECT_EQ(value(u"1E-50"), 0.0f); // below the smallest float: zero, as the game reads it
    EXPECT_TRUE(std::isinf(value(u"INF")) && value(u"INF") > 0);
    EXPECT_TRUE(std::isinf(value(u"-inf")) && value(u"-inf") < 0);
    EXPECT_TRUE(std::isnan(value(u"NAN")));
    // The text shown for the largest float must be accepted, or its page could not be applied.
    EXPECT_EQ(value(u"3.403E38"), FLT_MAX);
    EXPECT_EQ(value(u"-3.403E38"), -FLT_MAX);

    // Every float read and applied again stays what its text shows.
    std::mt19937 random(7);
    std::uniform_int_distribution<quint32> bits;
    for (int i = 0; i < 20000; ++i) {
        const quint32 b = bits(random);
        float f;
        std::memcpy(&f, &b, sizeof f);
        const QString shown = fromFloat(f);
        const FloatResult back = toFloat(shown);
        ASSERT_EQ(back.status, FloatStatus::Ok) << shown.toStdString();
        ASSERT_EQ(fromFloat(back.value), shown);
    }
}

TEST(FloatText, RejectsWhatIsNotAFloat)
{
    for (const QString &bad :
         { u"abc"_s, u"1,5"_s, u"1.5.2"_s, u"."_s, u"-"_s, u"1E"_s, u"1E+"_s, u"12abc"_s, u"0x10"_s,
           u"1 5"_s, u"--1"_s, u"INFINITY"_s, u"½"_s }) {
        EXPECT_EQ(toFloat(bad).status, FloatStatus::Invalid) << bad.toStdString();
    }
    EXPECT_EQ(toFloat(u"1E39").status, FloatStatus::OutOfRange);
    EXPECT_EQ(toFloat(u"-3.404E38").status, FloatStatus::OutOfRange);
    EXPECT_EQ(toFloat(u"1E999999999999").status, FloatStatus::OutOfRange);
    EXPECT_EQ(toFloat(u"1E-999999999999").status, FloatStatus::Ok);
}

TEST(IntText, ConvertsSigned32BitDecimalsOnly)
{
    EXPECT_EQ(fromInt(-42), u"-42"_s);
    EXPECT_EQ(toInt(u"0"), 0);
    EXPECT_EQ(toInt(u"+5"), 5);
    EXPECT_EQ(toInt(u"-5"), -5);
    EXPECT_EQ(toInt(u" 12 "), 12);
    EXPECT_EQ(toInt(u"007"), 7);
    EXPECT_EQ(toInt(u"2147483647"), 2147483647);
    EXPECT_EQ(toInt(u"-2147483648"), std::numeric_limits<qint32>::min());
    for (const QString &bad : { u"2147483648"_s, u"-2147483649"_s, u"99999999999999999999"_s,
                                u"12abc"_s, u"1.5"_s, u""_s, u"-"_s, u"+"_s, u"1e3"_s, u"٣"_s }) {
        EXPECT_FALSE(toInt(bad).has_value()) << bad.toStdString();
    }
}

TEST(WritingConversions, TakeEmptyAsZeroAndNameTheBadText)
{
    EXPECT_EQ(intForWriting(u""), 0);
    EXPECT_EQ(floatForWriting(u""), 0.0f);
    EXPECT_EQ(tableErrorOf([] { intForWriting(u"12abc"); }),
              u"'12abc' is not a valid integer value"_s);
    EXPECT_EQ(tableErrorOf([] { floatForWriting(u"1.2.3"); }),
              u"'1.2.3' is not a valid float value"_s);
    EXPECT_EQ(tableErrorOf([] { floatForWriting(u"1E39"); }),
              u"'1E39' is outside the range of a float value"_s);
}

TEST(NumberFieldCheck, AcceptsEmptyOrConvertibleTextWithTheExactMessages)
{
    EXPECT_FALSE(checkNumberField(u"", NumberField::Integer));
    EXPECT_FALSE(checkNumberField(u"", NumberField::Float));
    EXPECT_FALSE(checkNumberField(u"-17", NumberField::Integer));
    EXPECT_FALSE(checkNumberField(u"1.5", NumberField::Float));
    EXPECT_FALSE(checkNumberField(u"70000", NumberField::Integer)); // range is the write's job
    EXPECT_EQ(checkNumberField(u"1.5", NumberField::Integer),
              u"Please enter a correct integer value"_s);
    EXPECT_EQ(checkNumberField(u"12abc", NumberField::Integer),
              u"Please enter a correct integer value"_s);
    EXPECT_EQ(checkNumberField(u"abc", NumberField::Float),
              u"Please enter a correct float value"_s);
    EXPECT_EQ(checkNumberField(u"1E39", NumberField::Float),
              u"Please enter a correct float value"_s);
}
