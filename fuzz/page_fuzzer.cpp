// Fuzz target: the page body decoders. The input is one page record; its kind byte picks the
// declared body of that kind, so each kind joins as soon as it has one. What a body reads it
// must write without error, and writing is a fixed point: the text forms lose precision once,
// when a page is first read, and never again.

#include "fuzzcheck.h"
#include "pageformats.h"
#include "tableerror.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const std::optional<PageKind> kind = acceptedKind(data[0]);
    const PageFormat *format = kind ? pageFormatOf(*kind) : nullptr;
    if (!format)
        return 0;

    // The editor reads a page of another version too when asked, so the version is not checked.
    PageBody body;
    try {
        RecordReader reader(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
        body = PageBody::read(*format, reader);
    } catch (const TableError &error) {
        FUZZ_CHECK(!error.message().isEmpty(), "an error without a message");
        return 0;
    }
    FUZZ_CHECK(body.values.size() == qsizetype(format->fields.size()),
               QByteArray::number(body.values.size()));

    QByteArray written;
    PageBody again;
    try {
        written = body.record(*format);
        RecordReader reader(written);
        FUZZ_CHECK(reader.kind() == quint8(format->kind), QByteArray::number(reader.kind()));
        FUZZ_CHECK(reader.length() == quint32(written.size() - RecordHeader::kindSize),
                   QByteArray::number(reader.length()));
        FUZZ_CHECK(reader.version() == format->info().version,
                   QByteArray::number(reader.version()));
        again = PageBody::read(*format, reader);
        FUZZ_CHECK(reader.atEnd(), QByteArray::number(reader.position()));
    } catch (const TableError &error) {
        FUZZ_CHECK(false, shown(error.message()));
    }
    FUZZ_CHECK(again == body, "a written page reads back other values");
    FUZZ_CHECK(again.record(*format) == written, "writing a page again changes its bytes");
    return 0;
}
