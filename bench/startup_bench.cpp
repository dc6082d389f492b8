// Start-up time of the program: from process start to the main window shown with the demo
// table loaded, next to that of a program that only shows an empty window. The two alternate,
// so that both see the same machine; prints both medians and their ratio.
//   startup_bench [TABLE] [RUNS]

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

// Milliseconds from start to "shown", or nothing when the probe never said it.
std::optional<double> timeProbe(const QString &probe, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(probe, arguments);
    if (!process.waitForReadyRead(30000) || !process.readLine().startsWith("shown"))
        return std::nullopt;
    const double elapsed = timer.nsecsElapsed() / 1e6;
    process.waitForFinished(10000);
    return elapsed;
}

struct Spread
{
    double median, min, max;
};

Spread spread(QList<double> times)
{
    std::sort(times.begin(), times.end());
    return { times[times.size() / 2], times.first(), times.last() };
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString table = arguments.value(1, QStringLiteral(VK_SAMPLE_TABLE));
    const int runs = std::max(1, arguments.value(2, QStringLiteral("11")).toInt());
    const QString directory = QCoreApplication::applicationDirPath();
    const QString program = directory + QStringLiteral("/startup_probe");
    const QString empty = directory + QStringLiteral("/empty_window_probe");

    QList<double> programTimes;
    QList<double> emptyTimes;
    for (int run = 0; run < runs; ++run) {
        // Which goes first alternates, so that neither always runs just after the other.
        const bool order[] = { run % 2 == 0, run % 2 != 0 };
        for (const bool isProgram : order) {
            const std::optional<double> time = isProgram ? timeProbe(program, { table })
                                                         : timeProbe(empty, {});
            if (!time) {
                std::fprintf(stderr, "startup_bench: %s did not show its window\n",
                             isProgram ? "startup_probe" : "empty_window_probe");
                return 1;
            }
            (isProgram ? programTimes : emptyTimes).append(*time);
        }
    }
    const Spread ofProgram = spread(programTimes);
    const Spread ofEmpty = spread(emptyTimes);
    std::printf("start-up to window shown (%s, %s), over %d runs of each:\n",
                qPrintable(table),
                qPrintable(qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("default"))),
                runs);
    std::printf("  program:      median %.1f ms, min %.1f ms, max %.1f ms\n", ofProgram.median,
                ofProgram.min, ofProgram.max);
    std::printf("  empty window: median %.1f ms, min %.1f ms, max %.1f ms\n", ofEmpty.median,
                ofEmpty.min, ofEmpty.max);
    std::printf("  ratio (program / empty window): %.2f\n", ofProgram.median / ofEmpty.median);
    return 0;
}
