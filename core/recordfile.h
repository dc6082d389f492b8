#pragma once

#include "mappedfile.h"
#include "tableerror.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>
#include <vector>

// "damaged <description>: record at byte <offset> <what>", the error of a damaged record.
TableError damagedRecord(const QString &description, qint64 offset, const QString &what);

// Where each page record of a file lies, how long it is and its kind byte, as the walk that
// loaded the file found them, in file order: what a save needs of the loaded table file without
// reading it again.
class RecordMap
{
public:
    struct Record
    {
        qint64 offset;
        qint64 size; // kind byte included
        quint8 kindByte;
    };

    void add(const Record &record) { m_records.push_back(record); }
    // The walk's mapping of the file, kept so that a save reading the file whole reads it
    // there rather than mapping and faulting in every page again.
    void keepMapping(std::shared_ptr<const MappedFile> mapping) { m_mapping = std::move(mapping); }
    const std::shared_ptr<const MappedFile> &mapping() const { return m_mapping; }
    // The record at offset, or nullptr. Records looked up in file order are found at once: hint,
    // which starts at 0, is the index of the last one found.
    const Record *find(qint64 offset, size_t &hint) const;

private:
    std::vector<Record> m_records;
    std::shared_ptr<const MappedFile> m_mapping;
};

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

    // From here on the whole file is the window: a mapping of it where the system maps files
    // (the record map's, if it has one), else read whole at the first read; see confirmReads().
    void readWhole();
    // The mapping readWhole() made or took, if any. What bytesAt() returns from a mapping stays
    // valid as long as the mapping does.
    const std::shared_ptr<const MappedFile> &mapping() const { return m_mapped; }
    // A mapped file cut short by another program reads as zeros past its new end: throws, as
    // a read that ends early, if that has happened to this file since readWhole().
    void confirmReads() const;

    // Up to count bytes at offset; fewer only where the file ends.
    QByteArrayView bytesAt(qint64 offset, qint64 count);

    // Offset of the first NUL in [from, limit), or -1.
    qint64 findNul(qint64 from, qint64 limit);

    // What a walk of this file found, so that sizes and kind bytes need no reading; the map
    // must outlive the file, and describe it as it is.
    void setRecordMap(const RecordMap *map) { m_map = map; }

    // Size of the whole record at offset, kind byte included; a damaged record throws.
    qint64 recordSize(qint64 offset);
    // The kind byte of the record at offset; the file ending there throws.
    quint8 kindByte(qint64 offset);
    // Appends the whole record at offset, kind byte first, to out.
    void appendRecord(qint64 offset, QByteArray &out);
    // Appends count bytes at offset to out; the file ending first throws.
    void appendBytes(qint64 offset, qint64 count, QByteArray &out);
    QByteArray readRecord(qint64 offset);

    // "damaged <description>: record at byte <offset> <what>"; if the file was mapped and cut
    // short meanwhile, what readFailed says of a file that ends early.
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
    using WindowStorage = std::unique_ptr<char[]>;
    // Memory for a window of size bytes, and where in it the window starts.
    static WindowStorage newWindow(qint64 size, char *&window);

    // The window starts on a cache line: some processors (AMD EPYC among them) take seven
    // times as long to read a file into a buffer whose start is not aligned to 32 bytes.
    WindowStorage m_storage;
    qint64 m_capacity = 0;
    char *m_window = nullptr;
    qint64 m_windowLength = 0;
    qint64 m_windowStart = 0;
    const RecordMap *m_map = nullptr;
    size_t m_mapHint = 0;
    std::shared_ptr<const MappedFile> m_mapped;
};
