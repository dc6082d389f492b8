// Edits a journaled workspace at random until it is killed, saying after each change that it is
// done: "ack N WHAT", flushed. Used by the kill test: killdriver WORKDIR TABLE SEED.
#include "randomedits.h"
#include "tableerror.h"
#include "workspace.h"

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fputs("usage: killdriver WORKDIR TABLE SEED\n", stderr);
        return 2;
    }
    try {
        Workspace workspace(QString::fromLocal8Bit(argv[1]));
        workspace.startJournal();
        workspace.load(QString::fromLocal8Bit(argv[2]));
        std::puts("ack 0 load");
        std::fflush(stdout);
        RandomEdits edits(workspace, QString::fromLocal8Bit(argv[2]), unsigned(std::atoi(argv[3])));
        for (int n = 1;; ++n) {
            const QString what = edits.step();
            std::printf("ack %d %s\n", n, what.toUtf8().constData());
            std::fflush(stdout);
        }
    } catch (const TableError &error) {
        std::fprintf(stderr, "killdriver: %s\n", error.what());
        return 1;
    }
}
