// Fuzz target: the text forms of numbers. Any text either converts or is refused by the field
// check, and the check and the conversion for writing always agree; every float's text converts
// back, and the text of what it converts to is the same text.

#include "fuzzcheck.h"
#include "numbertext.h"
#include "tableerror.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// The integer text of an optional sign and decimal digits between blanks, written as fromInt
// would write its value; empty when the text is not of that form. Worked out here on its own,
// so that it checks the engine's parser rather than repeating it.
QString canonicalInteger(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    bool negative = false;
    if (begin < end && (text[begin] == u'-' || text[begin] == u'+'))
        negative = text[begin++] == u'-';
    if (begin == end)
        return {};
    for (qsizetype i = begin; i < end; ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return {};
    }
    while (begin + 1 < end && text[begin] == u'0')
        ++begin;
    const QString digits = text.mid(begin, end - begin);
    return negative && digits != u"0" ? u'-' + digits : digits;
}

void checkInteger(const QString &text)
{
    const std::optional<qint32> value = NumberText::toInt(text);
    const bool accepted = !checkNumberField(text, NumberField::Integer).has_value();
    FUZZ_CHECK(accepted == (text.isEmpty() || value.has_value()), shown(text));
    try {
        const qint32 written = NumberText::intForWriting(text);
        FUZZ_CHECK(accepted, shown(text));
        FUZZ_CHECK(written == value.value_or(0), shown(text));
    } catch (const TableError &) {
        FUZZ_CHECK(!accepted, shown(text));
    }

    const QString canonical = canonicalInteger(text);
    if (value) {
        FUZZ_CHECK(NumberText::toInt(NumberText::fromInt(*value)) == value, shown(text));
        FUZZ_CHECK(canonical == NumberText::fromInt(*value), shown(text));
    } else if (!canonical.isEmpty()) {
        // Nine digits always fit.
        FUZZ_CHECK(canonical.size() - canonical.startsWith(u'-') > 9, shown(text));
    }
}

// The text of a float converts back without error to a float of the same text, within the
// four digits' precision.
void checkShown(float value)
{
    const QString text = NumberText::fromFloat(value);
    FUZZ_CHECK(text.size() <= 10, shown(text)); // "-1.234E-38"
    const NumberText::FloatResult back = NumberText::toFloat(text);
    FUZZ_CHECK(back.status == NumberText::FloatStatus::Ok, shown(text));
    FUZZ_CHECK(NumberText::fromFloat(back.value) == text, shown(text));
    if (!std::isfinite(value)) {
        FUZZ_CHECK(std::isnan(value) ? std::isnan(back.value) : back.value == value, shown(text));
    } else {
        const double error = std::fabs(double(back.value) - double(value));
        FUZZ_CHECK(error <= 5.001e-4 * std::fabs(double(value)) + double(FLT_TRUE_MIN) / 2,
                   shown(text) + " for " + QByteArray::number(double(value), 'g', 9));
    }
}

void checkFloat(const QString &text)
{
    const NumberText::FloatResult value = NumberText::toFloat(text);
    const bool converts = value.status == NumberText::FloatStatus::Ok;
    const bool accepted = !checkNumberField(text, NumberField::Float).has_value();
    FUZZ_CHECK(accepted == (text.isEmpty() || converts), shown(text));
    try {
        const float written = NumberText::floatForWriting(text);
        FUZZ_CHECK(accepted, shown(text));
        const float expected = text.isEmpty() ? 0.0f : value.value;
        FUZZ_CHECK(std::memcmp(&written, &expected, sizeof written) == 0, shown(text));
    } catch (const TableError &) {
        FUZZ_CHECK(!accepted, shown(text));
    }
    if (converts)
        checkShown(value.value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    checkInteger(text);
    checkFloat(text);
    // The same bytes as the bits of a float, as a page holds it.
    if (size >= sizeof(float)) {
        float value;
        std::memcpy(&value, data, sizeof value);
        checkShown(value);
    }
    return 0;
}
