#pragma once

#include "tableerror.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// "damaged <description>: record at byte <offset> <what>", the error of a damaged record.
TableError damagedRecord(const QString &description, qint64 offset, const QString &what);

// A file of page records (the loaded table file or a working file) opened for reading,
// read at any offset through a window of bytes kept in memory. Every read checks the
// file's end, so a damaged record gives a clear error and never a short record.
class RecordFile
{
public:
    // description names the file in messages: "table file", "working file "sounds.$$$"".
    RecordFile(const QString &path, QString description, qint64 windowSize = 16 * 1024);

    qint64 size() const { return m_size; }
    // Bytes read at once when a read falls outside what is in memory.
    void setWindowSize(qint64 size) { m_windowSize = qMax<qint64>(size, 1); }
    qint64 windowSize() const { return m_windowSize; }
    // For a copy the kernel makes; reading through it leaves the window as it was.
    int handle() const { return m_file.handle(); }

    // Up to count bytes at offset; fewer only where the file ends.
    QByteArrayView bytesAt(qint64 offset, qint64 count);

    // Offset of the first NUL in [from, limit), or -1.
    qint64 findNul(qint64 from, qint64 limit);

    // Size of the whole record at offset, kind byte included; a damaged record throws.
    qint64 recordSize(qint64 offset);
    // Appends the whole record at offset, kind byte first, to out.
    void appendRecord(qint64 offset, QByteArray &out);
    // Appends count bytes at offset to out; the file ending first throws.
    void appendBytes(qint64 offset, qint64 count, QByteArray &out);
    QByteArray readRecord(qint64 offset);

    // "damaged <description>: record at byte <offset> <what>".
    [[noreturn]] void damaged(qint64 offset, const QString &what) const;
    // "Cannot read the <description> "<path>": <reason>".
    [[noreturn]] void readFailed(const QString &reason) const;

private:
    void moveWindow(qint64 offset, qint64 count);
    void readExactly(qint64 offset, char *into, qint64 count);

    QFile m_file;
    QString m_description;
    qint64 m_size = 0;
    qint64 m_windowSize;
    QByteArray m_window;
    qint64 m_windowStart = 0;
};
