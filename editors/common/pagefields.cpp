#include "pagefields.h"

bool isBitSet(FieldEncoding encoding)
{
    return encoding == FieldEncoding::IntBits || encoding == FieldEncoding::ByteBits;
}

PageBody PageBody::blank(const PageFormat &format)
{
    PageBody body;
    body.values.reserve(format.fields.size());
    for (const FieldSpec &field : format.fields) {
        if (field.encoding == FieldEncoding::String)
            body.values.append(QByteArray());
        else if (isBitSet(field.encoding))
            body.values.append(quint32(0));
        else
            body.values.append(QString::fromLatin1(field.newPageText ? field.newPageText : "0"));
    }
    body.values[0] = QByteArray(format.newPageName.data(), format.newPageName.size());
    return body;
}

PageBody PageBody::read(const PageFormat &format, RecordReader &reader)
{
    PageBody body;
    body.values.reserve(format.fields.size());
    for (const FieldSpec &field : format.fields) {
        switch (field.encoding) {
        case FieldEncoding::String:
            body.values.append(reader.ReadString());
            break;
        case FieldEncoding::Int:
            body.values.append(reader.ReadIntText());
            break;
        case FieldEncoding::Float:
            body.values.append(reader.ReadFloatText());
            break;
        case FieldEncoding::Byte:
            body.values.append(reader.ReadByteText());
            break;
        case FieldEncoding::Word:
            body.values.append(reader.ReadWordText());
            break;
        case FieldEncoding::IntBits:
            body.values.append(quint32(reader.ReadInt()));
            break;
        case FieldEncoding::ByteBits:
            body.values.append(quint32(reader.ReadByte()));
            break;
        }
    }
    return body;
}

void PageBody::write(const PageFormat &format, RecordWriter &writer) const
{
    Q_ASSERT(values.size() == qsizetype(format.fields.size()));
    for (qsizetype i = 0; i < values.size(); ++i) {
        const FieldValue &value = values[i];
        switch (format.fields[i].encoding) {
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
            writer.WriteByte(quint8(std::get<quint32>(value)));
            break;
        }
    }
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
