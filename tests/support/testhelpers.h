#pragma once

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

} // namespace testsupport
