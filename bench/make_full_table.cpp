// Writes the benchmarks' full table, or that many copies of it back to back, for the scripts
// that time the command line on it.

#include "fulltable.h"

#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    const int copies = argc == 3 ? std::atoi(argv[2]) : 1;
    if ((argc != 2 && argc != 3) || copies < 1) {
        std::fprintf(stderr, "Usage: make_full_table OUTPUT.gam [COPIES]\n");
        return 2;
    }
    testsupport::writeFile(QString::fromLocal8Bit(argv[1]), bench::fullTable().repeated(copies));
    return 0;
}
