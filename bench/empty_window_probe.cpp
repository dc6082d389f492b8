// The least a Qt Widgets program does to show a window: the yardstick startup_bench holds the
// program's start against. Reports on standard output when its window is on screen, as
// startup_probe does, then ends. With --text the window shows one line of text, which is the
// least any window that shows text does: the first text drawn reads the system's font
// configuration, which an empty window never does.

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(525, 325);
    if (QApplication::arguments().contains(QStringLiteral("--text")))
        (new QLabel(QStringLiteral("No table loaded"), &window))->move(200, 300);
    window.show();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &window, [&window] {
        if (!window.windowHandle() || !window.windowHandle()->isExposed())
            return;
        std::fputs("shown\n", stdout);
        std::fflush(stdout);
        QApplication::quit();
    });
    poll.start(0);
    return app.exec();
}
