// Fuzz target: the table as text. Any bytes dumped and built again come back byte for byte,
// whatever they hold; and any text given to build is either a table or a message saying what
// is wrong with it.

#include "fuzzcheck.h"
#include "tableerror.h"
#include "tabletext.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray text = TableText::dumpTable(input);
    try {
        FUZZ_CHECK(TableText::buildTable(text) == input, "dump then build changes the table");
    } catch (const TableError &error) {
        FUZZ_CHECK(false, "a dump does not build: " + shown(error.message()));
    }
    try {
        TableText::buildTable(input);
    } catch (const TableError &error) {
        FUZZ_CHECK(!error.message().isEmpty(), "an error without a message");
    }
    return 0;
}
