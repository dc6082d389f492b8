#include "fieldcodecs.h"

#include "numbertext.h"
#include "tableerror.h"

#include <QtEndian>

#include <cstring>

using namespace Qt::StringLiterals;

float floatFromBits(quint32 bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

quint32 bitsFromFloat(float value)
{
    quint32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

RecordReader::RecordReader(QByteArray record)
    : m_record(std::move(record))
{
    m_kind = ReadByte();
    m_length = qFromLittleEndian<quint32>(take(RecordHeader::lengthSize));
    m_version = ReadWord();
}

const char *RecordReader::take(qsizetype size)
{
    if (size > m_record.size() - m_position)
        throw TableError(
            u"damaged page: a field at byte %1 runs past the end of its record"_s.arg(m_position));
    const char *data = m_record.constData() + m_position;
    m_position += size;
    return data;
}

QByteArray RecordReader::ReadString()
{
    const qsizetype end = m_record.indexOf('\0', m_position);
    if (end < 0)
        throw TableError(
            u"damaged page: a text at byte %1 runs past the end of its record"_s.arg(m_position));
    QByteArray text = m_record.mid(m_position, end - m_position);
    m_position = end + 1;
    return text;
}

qint32 RecordReader::ReadInt()
{
    return qFromLittleEndian<qint32>(take(4));
}

quint8 RecordReader::ReadByte()
{
    return quint8(*take(1));
}

quint16 RecordReader::ReadWord()
{
    return qFromLittleEndian<quint16>(take(2));
}

QByteArray RecordReader::ReadRest()
{
    const QByteArray rest = m_record.sliced(m_position);
    m_position = m_record.size();
    return rest;
}

RecordWriter::RecordWriter(PageKind kind, quint16 version)
{
    WriteByte(quint8(kind));
    appendLittleEndian<quint32>(0); // filled in by record()
    WriteWord(version);
}

template<typename T> void RecordWriter::appendLittleEndian(T value)
{
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    m_record.append(bytes, sizeof bytes);
}

void RecordWriter::WriteString(const QByteArray &text)
{
    m_record.append(text);
    m_record.append('\0');
}

void RecordWriter::WriteFloatText(QStringView text)
{
    WriteFloat(NumberText::floatForWriting(text));
}

void RecordWriter::WriteIntText(QStringView text)
{
    WriteInt(NumberText::intForWriting(text));
}

void RecordWriter::WriteByteText(QStringView text)
{
    WriteByte(quint8(quint32(NumberText::intForWriting(text)) & 0xff));
}

void RecordWriter::WriteWordText(QStringView text)
{
    WriteWord(quint16(quint32(NumberText::intForWriting(text)) & 0xffff));
}

void RecordWriter::WriteInt(qint32 value)
{
    appendLittleEndian(value);
}

void RecordWriter::WriteByte(quint8 value)
{
    m_record.append(char(value));
}

void RecordWriter::WriteWord(quint16 value)
{
    appendLittleEndian(value);
}

void RecordWriter::WriteFloat(float value)
{
    appendLittleEndian(bitsFromFloat(value));
}

QByteArray RecordWriter::record() const
{
    QByteArray finished = m_record;
    qToLittleEndian(quint32(finished.size() - RecordHeader::kindSize),
                    finished.data() + RecordHeader::kindSize);
    return finished;
}
