#pragma once

#include <QByteArrayView>

#include <cstddef>
#include <thread>

// An open file's bytes mapped read-only for one pass over them, as a load walks a table: the
// pages come from the file cache without being copied, and a large file's are mapped ahead of
// the reader on a second thread.
//
// Another program may cut the file short while it is mapped. Reading past its new end would
// end this process with SIGBUS; instead it reads zeros from there on, and cutShort() says so.
class MappedFile
{
public:
    // Maps size bytes of the open file; isMapped() is false where the system refuses (a pipe, a
    // file system without mappings, an empty file), and the caller reads the file instead.
    MappedFile(int handle, qint64 size);
    ~MappedFile();
    MappedFile(const MappedFile &) = delete;
    MappedFile &operator=(const MappedFile &) = delete;

    bool isMapped() const { return m_bytes != nullptr; }
    QByteArrayView bytes() const { return QByteArrayView(m_bytes, qsizetype(m_length)); }
    // Whether the file was found cut short: some of bytes() read as zeros, not as the file.
    bool cutShort() const;

private:
    char *m_bytes = nullptr;
    size_t m_length = 0;
    int m_guard = -1; // which guarded range this mapping is
    std::jthread m_ahead;
};
