#pragma once

// Small helpers shared by the engine's tests.

#include "namelist.h"
#include "pagedirectory.h"
#include "tableerror.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <ostream>
#include <sys/resource.h>

// Readable QStrings and page names in failure messages.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const NameList &names, std::ostream *out)
{
    *out << '{';
    for (QByteArrayView name : names)
        *out << ' ' << '"' << std::string_view(name.data(), size_t(name.size())) << '"';
    *out << " }";
}

namespace testsupport {

// A scratch directory for one test, removed afterwards.
class TempDir
{
public:
    TempDir() { EXPECT_TRUE(m_dir.isValid()); }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

// Writes with a file size limit, as on a full disk: writes past it fail with EFBIG.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved {};
    void (*m_handler)(int) = nullptr;
};

// The message of the TableError that run throws, or "no error".
template<typename Run> QString tableErrorOf(Run &&run)
{
    try {
        run();
    } catch (const TableError &error) {
        return error.message();
    }
    return QStringLiteral("no error");
}

// The slots of a kind's pages in list order.
inline QList<int> slotMap(const PageDirectory &directory, PageKind kind)
{
    QList<int> mapped;
    for (int p = 0; p < directory.pageCount(kind); ++p)
        mapped.append(directory.slotAt(kind, p));
    return mapped;
}

// The records of a table file, each kind byte first.
inline QList<QByteArray> splitRecords(const QByteArray &table)
{
    QList<QByteArray> records;
    qsizetype at = 0;
    while (at + 5 <= table.size()) {
        const quint32 length = quint8(table[at + 1]) | quint8(table[at + 2]) << 8 |
            quint8(table[at + 3]) << 16 | quint32(quint8(table[at + 4])) << 24;
        records.append(table.mid(at, qsizetype(length) + 1));
        at += qsizetype(length) + 1;
    }
    return records;
}

} // namespace testsupport
