#pragma once

// What the fuzz targets assert: a broken promise of the engine aborts with the promise and the
// value that broke it, so libFuzzer keeps the input as a crash. Checks stay on in every build.

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void fuzzFailure(const char *promise, const QByteArray &detail,
                                     const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: broken promise: %s\n  %s\n", file, line, promise,
                 detail.constData());
    std::abort();
}

#define FUZZ_CHECK(condition, detail)                                                              \
    do {                                                                                           \
        if (!(condition))                                                                          \
            fuzzFailure(#condition, QByteArray(detail), __FILE__, __LINE__);                       \
    } while (false)

inline QByteArray shown(const QString &text)
{
    return text.toUtf8();
}
