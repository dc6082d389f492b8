#include "pagefields.h"

#include <algorithm>
#include <charconv>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

QString shownNumber(FieldEncoding encoding, quint32 stored)
{
    switch (encoding) {
    case FieldEncoding::Float:
        return NumberText::fromFloat(floatFromBits(stored));
    case FieldEncoding::Int:
        return NumberText::fromInt(qint32(stored));
    default:
        return QString::number(stored);
    }
}

} // namespace

bool isBitSet(FieldEncoding encoding)
{
    return encoding == FieldEncoding::IntBits || encoding == FieldEncoding::WordBits ||
        encoding == FieldEncoding::ByteBits;
}

bool isNumber(FieldEncoding encoding)
{
    return encoding == FieldEncoding::Int || encoding == FieldEncoding::Float ||
        encoding == FieldEncoding::Byte || encoding == FieldEncoding::Word;
}

quint32 widestValue(FieldEncoding encoding)
{
    switch (encoding) {
    case FieldEncoding::Byte:
    case FieldEncoding::ByteBits:
    case FieldEncoding::Choice:
        return 0xff;
    case FieldEncoding::Word:
    case FieldEncoding::WordBits:
        return 0xffff;
    default:
        return 0xffffffffu;
    }
}

FieldValue readField(const FieldSpec &field, RecordReader &reader)
{
    quint32 stored = 0;
    switch (field.encoding) {
    case FieldEncoding::String:
        return reader.ReadString();
    case FieldEncoding::Int:
    case FieldEncoding::Float:
        stored = quint32(reader.ReadInt());
        break;
    case FieldEncoding::Byte:
        stored = reader.ReadByte();
        break;
    case FieldEncoding::Word:
        stored = reader.ReadWord();
        break;
    case FieldEncoding::IntBits:
        return quint32(reader.ReadInt());
    case FieldEncoding::WordBits:
        return quint32(reader.ReadWord());
    case FieldEncoding::ByteBits:
    case FieldEncoding::Choice:
        return quint32(reader.ReadByte());
    }
    return NumberValue(field.encoding, stored);
}

QString NumberValue::text() const
{
    return isTyped() ? m_typed : shownNumber(m_encoding, m_stored);
}

QString NumberValue::exactText() const
{
    if (m_encoding != FieldEncoding::Float)
        return {};
    const float value = floatFromBits(m_stored);
    if (!std::isfinite(value)) {
        const NumberText::FloatResult shown = NumberText::toFloat(shownNumber(m_encoding, m_stored));
        if (shown.status == NumberText::FloatStatus::Ok && bitsFromFloat(shown.value) == m_stored)
            return {};
        return u"0x%1"_s.arg(m_stored, 8, 16, QChar(u'0'));
    }
    // The shortest decimal that reads back to the same float: at most four significant digits
    // are shown as they are.
    char digits[32];
    const char *const end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    int significant = 0;
    bool leading = true;
    for (const char *c = digits; c != end && *c != 'e'; ++c) {
        if (*c < '0' || *c > '9' || (leading && *c == '0'))
            continue;
        leading = false;
        ++significant;
    }
    // Trailing zeros of a whole number ("12000") are not significant digits of its shortest form.
    const char *const first = digits;
    const bool whole = std::find(first, end, '.') == end && std::find(first, end, 'e') == end;
    if (whole)
        for (const char *c = end; c != digits && significant > 0 && *(c - 1) == '0'; --c)
            --significant;
    if (significant <= 4)
        return {};
    return QString::fromLatin1(digits, end - digits).toUpper();
}

void NumberValue::setText(const QString &text)
{
    if (text == shownNumber(m_encoding, m_stored))
        m_typed = QString();
    else
        m_typed = text.isNull() ? QString(u""_s) : text;
}

void writeField(const FieldSpec &field, const FieldValue &value, RecordWriter &writer)
{
    switch (field.encoding) {
    case FieldEncoding::String:
        writer.WriteString(std::get<QByteArray>(value));
        return;
    case FieldEncoding::IntBits:
        writer.WriteInt(qint32(std::get<quint32>(value)));
        return;
    case FieldEncoding::WordBits:
        writer.WriteWord(quint16(std::get<quint32>(value)));
        return;
    case FieldEncoding::ByteBits:
    case FieldEncoding::Choice:
        writer.WriteByte(quint8(std::get<quint32>(value)));
        return;
    default:
        break;
    }
    const NumberValue &number = std::get<NumberValue>(value);
    if (!number.isTyped()) {
        switch (field.encoding) {
        case FieldEncoding::Byte:
            writer.WriteByte(quint8(number.stored()));
            break;
        case FieldEncoding::Word:
            writer.WriteWord(quint16(number.stored()));
            break;
        default:
            writer.WriteInt(qint32(number.stored()));
            break;
        }
        return;
    }
    const QString text = number.text();
    switch (field.encoding) {
    case FieldEncoding::Float:
        writer.WriteFloatText(text);
        break;
    case FieldEncoding::Int:
        writer.WriteIntText(text);
        break;
    case FieldEncoding::Byte:
        writer.WriteByteText(text);
        break;
    case FieldEncoding::Word:
        writer.WriteWordText(text);
        break;
    default:
        Q_UNREACHABLE();
    }
}

FieldValue initialValue(const FieldSpec &field)
{
    if (field.encoding == FieldEncoding::String)
        return QByteArray();
    if (isNumber(field.encoding)) {
        const quint32 stored = field.encoding == FieldEncoding::Float
            ? bitsFromFloat(float(field.initial))
            : quint32(field.initial);
        return NumberValue(field.encoding, stored);
    }
    return quint32(field.initial);
}

QString numberText(const FieldValue &value)
{
    return std::get<NumberValue>(value).text();
}

quint32 maskOf(const FieldValue &value)
{
    return std::get<quint32>(value);
}

const QByteArray &textOf(const FieldValue &value)
{
    return std::get<QByteArray>(value);
}

std::optional<QString> checkField(const FieldSpec &field, QStringView text)
{
    if (!field.check)
        return std::nullopt;
    if (checkNumberField(text, *field.check))
        return field.checkMessage ? QString::fromLatin1(field.checkMessage)
                                  : *checkNumberField(text, *field.check);
    if (field.range && !text.isEmpty()) {
        const std::optional<qint32> value = NumberText::toInt(text);
        if (!value || *value < field.range->min || *value > field.range->max)
            return QString::fromLatin1(field.range->message);
    }
    return std::nullopt;
}

quint32 itemMask(const FieldSpec &field)
{
    const size_t count = field.items.size();
    return count >= 32 ? ~0u : (1u << count) - 1;
}

int choiceIndex(std::span<const ChoiceItem> choices, quint32 code)
{
    for (size_t i = 0; i < choices.size(); ++i)
        if (choices[i].code == code)
            return int(i);
    return -1;
}
