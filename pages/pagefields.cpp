#include "pagefields.h"

using namespace Qt::StringLiterals;

bool isBitSet(FieldEncoding encoding)
{
    return encoding == FieldEncoding::IntBits || encoding == FieldEncoding::ByteBits;
}

FieldValue readField(const FieldSpec &field, RecordReader &reader)
{
    switch (field.encoding) {
    case FieldEncoding::String:
        return reader.ReadString();
    case FieldEncoding::Int:
        return reader.ReadIntText();
    case FieldEncoding::Float:
        return reader.ReadFloatText();
    case FieldEncoding::Byte:
        return reader.ReadByteText();
    case FieldEncoding::Word:
        return reader.ReadWordText();
    case FieldEncoding::IntBits:
        return quint32(reader.ReadInt());
    case FieldEncoding::ByteBits:
    case FieldEncoding::Choice:
        return quint32(reader.ReadByte());
    }
    Q_UNREACHABLE();
    return {};
}

void writeField(const FieldSpec &field, const FieldValue &value, RecordWriter &writer)
{
    switch (field.encoding) {
    case FieldEncoding::String:
        writer.WriteString(std::get<QByteArray>(value));
        break;
    case FieldEncoding::Int:
        writer.WriteIntText(std::get<QString>(value));
        break;
    case FieldEncoding::Float:
        writer.WriteFloatText(std::get<QString>(value));
        break;
    case FieldEncoding::Byte:
        writer.WriteByteText(std::get<QString>(value));
        break;
    case FieldEncoding::Word:
        writer.WriteWordText(std::get<QString>(value));
        break;
    case FieldEncoding::IntBits:
        writer.WriteInt(qint32(std::get<quint32>(value)));
        break;
    case FieldEncoding::ByteBits:
    case FieldEncoding::Choice:
        writer.WriteByte(quint8(std::get<quint32>(value)));
        break;
    }
}

PageBody PageBody::blank(const PageFormat &format)
{
    PageBody body;
    body.values.reserve(format.fields.size());
    for (const FieldSpec &field : format.fields) {
        if (field.encoding == FieldEncoding::String)
            body.values.append(QByteArray());
        else if (isBitSet(field.encoding) || field.encoding == FieldEncoding::Choice)
            body.values.append(quint32(0));
        else
            body.values.append(u"0"_s);
    }
    body.values[0] = QByteArray(format.newPageName.data(), format.newPageName.size());
    return body;
}

PageBody PageBody::read(const PageFormat &format, RecordReader &reader)
{
    PageBody body;
    body.readRun(format.fields, reader);
    return body;
}

void PageBody::write(const PageFormat &format, RecordWriter &writer) const
{
    Q_ASSERT(values.size() == qsizetype(format.fields.size()));
    writeRun(format.fields, 0, writer);
}

void PageBody::readRun(std::span<const FieldSpec> fields, RecordReader &reader)
{
    values.reserve(values.size() + qsizetype(fields.size()));
    for (const FieldSpec &field : fields)
        values.append(readField(field, reader));
}

void PageBody::writeRun(std::span<const FieldSpec> fields, qsizetype first,
                        RecordWriter &writer) const
{
    Q_ASSERT(first + qsizetype(fields.size()) <= values.size());
    for (qsizetype i = 0; i < qsizetype(fields.size()); ++i)
        writeField(fields[i], values[first + i], writer);
}

QByteArray PageBody::record(const PageFormat &format) const
{
    RecordWriter writer(format.kind);
    write(format, writer);
    return writer.record();
}

QByteArray PageBody::name() const
{
    return std::get<QByteArray>(values.value(0, QByteArray()));
}
