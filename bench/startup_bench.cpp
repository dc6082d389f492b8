// Start-up time of the program: from process start to the main window shown with the demo
// table loaded. Runs the probe several times and prints the median.
//   startup_bench [TABLE] [RUNS]

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString table = arguments.value(1, QStringLiteral(VK_SAMPLE_TABLE));
    const int runs = std::max(1, arguments.value(2, QStringLiteral("11")).toInt());
    const QString probe = QCoreApplication::applicationDirPath() + QStringLiteral("/startup_probe");

    QList<double> times;
    for (int run = 0; run < runs; ++run) {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer timer;
        timer.start();
        process.start(probe, { table });
        if (!process.waitForReadyRead(30000) || !process.readLine().startsWith("shown")) {
            std::fprintf(stderr, "startup_bench: the probe did not show its window\n");
            return 1;
        }
        times.append(timer.nsecsElapsed() / 1e6);
        process.waitForFinished(10000);
    }
    std::sort(times.begin(), times.end());
    std::printf("start-up to main window shown (%s, %s): median %.1f ms, min %.1f ms, max %.1f ms "
                "over %d runs\n",
                qPrintable(table),
                qPrintable(qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("default"))),
                times[times.size() / 2], times.first(), times.last(), runs);
    return 0;
}
