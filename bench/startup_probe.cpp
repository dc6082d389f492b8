// The program as vkcp starts it, reporting on standard output when its main window is on
// screen with the table loaded, then ending. startup_bench times it from outside.

#include "controlpanel.h"
#include "main.h"
#include "startup.h"

#include <QApplication>
#include <QTimer>
#include <QWindow>

#include <cstdio>

int main(int argc, char *argv[])
{
    return runProgram(argc, argv, [](ControlPanel &panel) {
        MainWindow &main = panel.mainWindow();
        auto *poll = new QTimer(&main);
        QObject::connect(poll, &QTimer::timeout, &main, [&main] {
            if (!main.windowHandle() || !main.windowHandle()->isExposed())
                return;
            std::fputs("shown\n", stdout);
            std::fflush(stdout);
            QApplication::quit();
        });
        poll->start(0);
    });
}
