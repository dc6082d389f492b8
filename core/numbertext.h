#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The text forms in which page numbers are shown and edited, and the conversions back.
// The decimal separator is always '.', in both directions, whatever the user's locale:
// a text typed on one machine means the same number on every other.
namespace NumberText {

inline constexpr QChar decimalSeparator = u'.';

QString fromInt(qint32 value);

// Four significant digits in general format: "1.5", "1235", "0.05", "1.235E4", "1E-5",
// "INF", "-INF", "NAN".
QString fromFloat(float value);

// A signed 32-bit decimal integer; surrounding blanks are allowed.
std::optional<qint32> toInt(QStringView text);

enum class FloatStatus { Ok, Invalid, OutOfRange };

struct FloatResult
{
    FloatStatus status = FloatStatus::Invalid;
    float value = 0;
};

// A decimal float with optional exponent, or one of the texts fromFloat gives for
// infinity and not-a-number. Values beyond single precision are OutOfRange, except
// those that fromFloat itself shows for the largest float (up to 3.403E38), which
// become that float again.
FloatResult toFloat(QStringView text);

// Conversions for writing a field: an empty text is 0; a bad text throws TableError
// naming the text, with the message invalidIntegerMessage gives for an integer.
qint32 intForWriting(QStringView text);
QString invalidIntegerMessage(QStringView text);
float floatForWriting(QStringView text);

// A count with its noun, as messages say it: "1 page", "12 pages".
QString counted(qsizetype count, const QString &one, const QString &many);

} // namespace NumberText

// The check run when the focus leaves a number field, and its messages.
enum class NumberField { Integer, Float };
inline constexpr QLatin1StringView kIntegerFieldMessage("Please enter a correct integer value");
inline constexpr QLatin1StringView kFloatFieldMessage("Please enter a correct float value");

// std::nullopt when the text is acceptable, otherwise the message to show.
std::optional<QString> checkNumberField(QStringView text, NumberField type);
