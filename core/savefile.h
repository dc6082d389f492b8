#pragma once

#include <QByteArrayView>
#include <QSaveFile>
#include <QString>

#include <span>

// The one way the program writes a file the user chose (a table file, an exported page):
// the target is replaced only when every byte has been written and flushed; any failure
// throws TableError and leaves the old target as it was, with no temporary file behind.
// A target that exists and is not a regular file (a device, a FIFO, a directory), or that the
// user may not write, is refused before anything is written.
// A process killed during a save leaves the old target whole too. Where the file system allows,
// Qt writes the new file unnamed (O_TMPFILE) and links it in place at commit, so nothing is left
// behind; elsewhere a "TARGET.XXXXXX" may stay, which is not ours to guess at and delete.
class SafeSave
{
public:
    explicit SafeSave(const QString &target);

    void write(QByteArrayView data);
    // Appends count bytes at offset of the file open for reading as source: copied by the
    // kernel where the file systems allow, elsewhere through one reused buffer. Returns the
    // bytes copied, fewer only when the source cannot be read on; readError is then its errno,
    // 0 where it ended. A failed write throws as write does.
    qint64 copyFrom(int source, qint64 offset, qint64 count, int &readError);
    // Appends the pieces in order, handing them to the kernel as they lie in memory. A piece
    // may lie in a MappedFile that another program has cut short: the kernel cannot read it
    // there, so it is copied here, where it reads as zeros and the mapping says so.
    void writeGathered(std::span<const QByteArrayView> pieces);
    void commit();

private:
    [[noreturn]] void fail();
    [[noreturn]] void fail(const QString &reason);
    void startWriteback();

    QSaveFile m_file;
    bool m_kernelCopies = true;
    QByteArray m_copyBuffer;
    qint64 m_writebackFrom = 0;
};

// Writes all of data to file. A full disk may show only as a short count with no error set;
// the rest is then tried once more, so that the file's error says why it failed.
bool writeFully(QFileDevice &file, QByteArrayView data);
