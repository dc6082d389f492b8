#pragma once

#include "pagekinds.h"

#include <QByteArray>
#include <QString>

// A float's bits and back, as the record stores them.
float floatFromBits(quint32 bits);
quint32 bitsFromFloat(float value);

// The field codecs: one family that decodes the fields of a page record held in memory
// and builds a new record in memory. The codec names are those of the record format.

// Reads the fields of one whole record (kind byte first), in file order. Running past the
// record's end throws TableError: a damaged page never reads into the next record.
class RecordReader
{
public:
    // Takes the whole record and reads its header; the fields start right after it.
    explicit RecordReader(QByteArray record);

    quint8 kind() const { return m_kind; }
    quint32 length() const { return m_length; }
    quint16 version() const { return m_version; }

    qsizetype position() const { return m_position; }
    bool atEnd() const { return m_position == m_record.size(); }
    const QByteArray &record() const { return m_record; }

    // A text up to its NUL, which is consumed.
    QByteArray ReadString();
    qint32 ReadInt();
    quint8 ReadByte();
    quint16 ReadWord();
    // Whatever of the record is left.
    QByteArray ReadRest();
    // Passes over bytes nobody needs; throws as a read of them would.
    void Skip(qsizetype size) { take(size); }

private:
    const char *take(qsizetype size);

    QByteArray m_record;
    qsizetype m_position = 0;
    quint8 m_kind = 0;
    quint32 m_length = 0;
    quint16 m_version = 0;
};

// Builds one page record; the length field is filled in from what was written, so it
// always matches the body. A text that does not convert throws TableError and nothing
// has been written anywhere.
class RecordWriter
{
public:
    RecordWriter(PageKind kind, quint16 version);
    explicit RecordWriter(PageKind kind)
        : RecordWriter(kind, kindInfo(kind).version)
    { }

    // The characters of the text, uncapped, then a NUL.
    void WriteString(const QByteArray &text);
    void WriteFloatText(QStringView text);
    void WriteIntText(QStringView text);
    // The low 8 / 16 bits of a 32-bit integer text: "300" stores 44, "-1" stores 65535.
    void WriteByteText(QStringView text);
    void WriteWordText(QStringView text);

    // Bit sets and values held as numbers rather than text.
    void WriteInt(qint32 value);
    void WriteByte(quint8 value);
    void WriteWord(quint16 value);
    void WriteFloat(float value);
    // Bytes kept as they were read.
    void WriteBytes(QByteArrayView bytes) { m_record.append(bytes); }

    qsizetype size() const { return m_record.size(); }

    // The finished record, kind byte first.
    QByteArray record() const;

private:
    template<typename T> void appendLittleEndian(T value);

    QByteArray m_record;
};
