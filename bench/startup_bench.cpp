// Start-up time of the program: from process start to the main window shown with the demo
// table loaded, next to that of a program that only shows an empty window, and of one that shows
// a window with one line of text, the least a window that shows text takes. The three take
// turns, so that all see the same machine; prints the medians and the ratios to the empty window.
//   startup_bench [TABLE] [RUNS]

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <iterator>
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

    struct Probe
    {
        const char *label;
        QString path;
        QStringList arguments;
        QList<double> times {};
    };
    Probe probes[] = {
        { "program:", program, { table } },
        { "empty window:", empty, {} },
        { "one line of text:", empty, { QStringLiteral("--text") } },
    };
    constexpr int probeCount = int(std::size(probes));
    for (int run = 0; run < runs; ++run) {
        // Which goes first turns, so that none always runs just after another.
        for (int i = 0; i < probeCount; ++i) {
            Probe &probe = probes[(run + i) % probeCount];
            const std::optional<double> time = timeProbe(probe.path, probe.arguments);
            if (!time) {
                std::fprintf(stderr, "startup_bench: %s %s did not show its window\n",
                             qPrintable(probe.path), qPrintable(probe.arguments.join(u' ')));
                return 1;
            }
            probe.times.append(*time);
        }
    }
    std::printf("start-up to window shown (%s, %s), over %d runs of each:\n", qPrintable(table),
                qPrintable(qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("default"))),
                runs);
    for (const Probe &probe : probes) {
        const Spread of = spread(probe.times);
        std::printf("  %-18s median %.1f ms, min %.1f ms, max %.1f ms\n", probe.label, of.median,
                    of.min, of.max);
    }
    const double emptyMedian = spread(probes[1].times).median;
    std::printf("  ratio (program / empty window): %.2f\n",
                spread(probes[0].times).median / emptyMedian);
    std::printf("  ratio (one line of text / empty window): %.2f\n",
                spread(probes[2].times).median / emptyMedian);
    return 0;
}
