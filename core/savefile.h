#pragma once

#include <QByteArrayView>
#include <QSaveFile>
#include <QString>

// The one way the program writes a file the user chose (a table file, an exported page):
// the target is replaced only when every byte has been written and flushed; any failure
// throws TableError and leaves the old target as it was, with no temporary file behind.
// A target that exists and is not a regular file (a device, a FIFO, a directory) is
// refused before anything is written.
class SafeSave
{
public:
    explicit SafeSave(const QString &target);

    void write(QByteArrayView data);
    void commit();

private:
    [[noreturn]] void fail();

    QSaveFile m_file;
};
