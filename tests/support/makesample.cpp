// Writes the demo table of samples/ from the test builder.

#include "tablebuilder.h"

#include <QString>

#include <cstdio>
#include <exception>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: make_sample OUTPUT.gam\n");
        return 1;
    }
    try {
        testsupport::writeFile(QString::fromLocal8Bit(argv[1]), testsupport::demoTable());
    } catch (const std::exception &error) {
        std::fprintf(stderr, "make_sample: %s\n", error.what());
        return 1;
    }
    return 0;
}
