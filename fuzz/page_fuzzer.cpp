// Fuzz target: the page body decoders. The input is one page record; its kind byte picks the
// body of that kind, so each kind joins as soon as it has one. What a body reads it must
// write without error, and writing is a fixed point: the text forms lose precision once, when
// a page is first read, and never again.

#include "fuzzcheck.h"
#include "pageformats.h"
#include "tableerror.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const std::optional<PageKind> kind = acceptedKind(data[0]);
    const PageRewrite rewrite = kind ? pageRewriteOf(*kind) : nullptr;
    if (!rewrite)
        return 0;

    // The editor reads a page of another version too when asked, so the version is not checked.
    QByteArray written;
    try {
        RecordReader reader(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
        written = rewrite(reader);
    } catch (const TableError &error) {
        FUZZ_CHECK(!error.message().isEmpty(), "an error without a message");
        return 0;
    }

    try {
        RecordReader reader(written);
        FUZZ_CHECK(reader.kind() == data[0], QByteArray::number(reader.kind()));
        FUZZ_CHECK(reader.length() == quint32(written.size() - RecordHeader::kindSize),
                   QByteArray::number(reader.length()));
        FUZZ_CHECK(reader.version() == kindInfo(*kind).version,
                   QByteArray::number(reader.version()));
        const QByteArray again = rewrite(reader);
        FUZZ_CHECK(reader.atEnd(), QByteArray::number(reader.position()));
        FUZZ_CHECK(again == written, "writing a page again changes its bytes");
    } catch (const TableError &error) {
        FUZZ_CHECK(false, shown(error.message()));
    }
    return 0;
}
