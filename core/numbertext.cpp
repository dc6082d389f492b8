#include "numbertext.h"

#include "tableerror.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

using namespace Qt::StringLiterals;

namespace NumberText {

namespace {

constexpr int kSignificantDigits = 4;

// The largest magnitude whose four-digit text is "3.403E38": such texts stand for FLT_MAX.
constexpr double kLargestShownFloat = 3.4035e38;

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The exact decimal digits of a float and its exponent: value = 0.d1d2d3... x 10^exponent.
struct Decimal
{
    std::string digits;
    int exponent = 0;
};

Decimal exactDecimal(float magnitude)
{
    // 120 digits hold the exact expansion of every float, so rounding below sees true ties.
    char buffer[160];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, double(magnitude),
                                      std::chars_format::scientific, 120);
    const std::string text(buffer, result.ptr);
    const auto e = text.find('e');
    Decimal decimal;
    decimal.digits = text.substr(0, 1) + text.substr(2, e - 2);
    decimal.exponent = std::stoi(text.substr(e + 1)) + 1;
    return decimal;
}

} // namespace

QString fromInt(qint32 value)
{
    return QString::number(value);
}

QString fromFloat(float value)
{
    if (std::isnan(value))
        return u"NAN"_s;
    if (std::isinf(value))
        return value < 0 ? u"-INF"_s : u"INF"_s;
    if (value == 0)
        return u"0"_s;

    Decimal decimal = exactDecimal(std::fabs(value));
    // Round half away from zero at the fourth significant digit.
    std::string digits = decimal.digits.substr(0, kSignificantDigits);
    if (decimal.digits[kSignificantDigits] >= '5') {
        int i = kSignificantDigits - 1;
        while (i >= 0 && digits[i] == '9')
            digits[i--] = '0';
        if (i >= 0) {
            ++digits[i];
        } else {
            digits = "1000";
            ++decimal.exponent;
        }
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    const int exponent = decimal.exponent;
    QString text;
    if (value < 0)
        text += u'-';
    if (exponent >= -3 && exponent <= 4) {
        if (exponent <= 0) {
            text += u'0';
            text += decimalSeparator;
            text += QString(-exponent, u'0');
            text += QLatin1StringView(digits);
        } else {
            const int integerDigits = exponent;
            const std::string whole = digits.size() >= size_t(integerDigits)
                ? digits.substr(0, integerDigits)
                : digits + std::string(integerDigits - digits.size(), '0');
            text += QLatin1StringView(whole);
            if (digits.size() > size_t(integerDigits)) {
                text += decimalSeparator;
                text += QLatin1StringView(digits.substr(integerDigits));
            }
        }
    } else {
        text += QLatin1Char(digits[0]);
        if (digits.size() > 1) {
            text += decimalSeparator;
            text += QLatin1StringView(digits.substr(1));
        }
        text += u'E';
        text += QString::number(exponent - 1);
    }
    return text;
}

std::optional<qint32> toInt(QStringView text)
{
    const QStringView t = trimmed(text);
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) {
        negative = t[i] == u'-';
        ++i;
    }
    if (i == t.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > qint64(std::numeric_limits<qint32>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(value);
}

FloatResult toFloat(QStringView text)
{
    const QStringView t = trimmed(text);
    std::string s;
    s.reserve(t.size());
    for (QChar c : t) {
        if (c.unicode() > 0x7f)
            return {};
        s += c == decimalSeparator ? '.' : char(c.unicode());
    }

    const bool negative = !s.empty() && s[0] == '-';
    const std::string unsignedText = !s.empty() && (s[0] == '-' || s[0] == '+') ? s.substr(1) : s;
    const float sign = negative ? -1.0f : 1.0f;
    const QLatin1StringView word(unsignedText);
    if (word.compare("INF"_L1, Qt::CaseInsensitive) == 0)
        return { FloatStatus::Ok, sign * std::numeric_limits<float>::infinity() };
    if (word.compare("NAN"_L1, Qt::CaseInsensitive) == 0)
        return { FloatStatus::Ok, std::copysign(std::numeric_limits<float>::quiet_NaN(), sign) };

    // digits [. digits] [E [sign] digits], at least one mantissa digit.
    const std::string &m = unsignedText;
    size_t i = 0;
    int integerDigits = 0;
    int firstNonZero = -1; // index among all mantissa digits
    int mantissaDigits = 0;
    auto takeDigits = [&](bool integerPart) {
        while (i < m.size() && isDigit(m[i])) {
            if (firstNonZero < 0 && m[i] != '0')
                firstNonZero = mantissaDigits;
            ++mantissaDigits;
            if (integerPart)
                ++integerDigits;
            ++i;
        }
    };
    takeDigits(true);
    if (i < m.size() && m[i] == '.') {
        ++i;
        takeDigits(false);
    }
    if (mantissaDigits == 0)
        return {};
    long long exponent = 0;
    if (i < m.size() && (m[i] == 'e' || m[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < m.size() && (m[i] == '-' || m[i] == '+'))
            negativeExponent = m[i++] == '-';
        if (i == m.size() || !isDigit(m[i]))
            return {};
        while (i < m.size() && isDigit(m[i])) {
            if (exponent < 1'000'000)
                exponent = exponent * 10 + (m[i] - '0');
            ++i;
        }
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != m.size())
        return {};

    if (firstNonZero < 0)
        return { FloatStatus::Ok, sign * 0.0f };
    // The value lies in [10^(order-1), 10^order).
    const long long order = integerDigits - firstNonZero + exponent;
    if (order > 40)
        return { FloatStatus::OutOfRange, 0 };
    if (order < -50)
        return { FloatStatus::Ok, sign * 0.0f };

    float magnitude = 0;
    const char *begin = m.data();
    const char *end = m.data() + m.size();
    const auto parsed = std::from_chars(begin, end, magnitude);
    if (parsed.ec == std::errc() && parsed.ptr == end)
        return { FloatStatus::Ok, sign * magnitude };
    if (order <= 0)
        return { FloatStatus::Ok, sign * 0.0f };
    double wide = 0;
    std::from_chars(begin, end, wide);
    if (wide < kLargestShownFloat)
        return { FloatStatus::Ok, sign * FLT_MAX };
    return { FloatStatus::OutOfRange, 0 };
}

qint32 intForWriting(QStringView text)
{
    if (text.isEmpty())
        return 0;
    if (const auto value = toInt(text))
        return *value;
    throw TableError(invalidIntegerMessage(text));
}

QString invalidIntegerMessage(QStringView text)
{
    return u"'%1' is not a valid integer value"_s.arg(text);
}

float floatForWriting(QStringView text)
{
    if (text.isEmpty())
        return 0;
    const FloatResult result = toFloat(text);
    switch (result.status) {
    case FloatStatus::Ok:
        return result.value;
    case FloatStatus::OutOfRange:
        throw TableError(u"'%1' is outside the range of a float value"_s.arg(text));
    case FloatStatus::Invalid:
        break;
    }
    throw TableError(u"'%1' is not a valid float value"_s.arg(text));
}

QString counted(qsizetype count, const QString &one, const QString &many)
{
    return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? one : many);
}

} // namespace NumberText

std::optional<QString> checkNumberField(QStringView text, NumberField type)
{
    if (text.isEmpty())
        return std::nullopt;
    if (type == NumberField::Integer) {
        if (NumberText::toInt(text))
            return std::nullopt;
        return QString(kIntegerFieldMessage);
    }
    if (NumberText::toFloat(text).status == NumberText::FloatStatus::Ok)
        return std::nullopt;
    return QString(kFloatFieldMessage);
}
