// Fuzz target: the page body decoders. The input is one page record; its kind byte picks the
// body of that kind, so each kind joins as soon as it has one. What a body reads it must
// write without error; a record read to its end, of the kind's version, comes back byte for
// byte, since nothing was changed; and writing is a fixed point.

#include "fuzzcheck.h"
#include "pageformats.h"
#include "tableerror.h"

#include <cstdint>

namespace {

QByteArray rewrite(const PageFormat &format, RecordReader &reader)
{
    return PageBody::read(format, reader).record(format);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const std::optional<PageKind> kind = acceptedKind(data[0]);
    if (!kind || !isEdited(*kind) || !pageFormat(*kind).layout)
        return 0;
    const PageFormat &format = pageFormat(*kind);

    // The editor reads a page of another version too when asked, so the version is not checked.
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    QByteArray written;
    bool canonical = false;
    try {
        RecordReader reader(input);
        written = rewrite(format, reader);
        canonical = reader.atEnd() && reader.version() == kindInfo(*kind).version &&
            reader.length() == quint32(size - RecordHeader::kindSize);
    } catch (const TableError &error) {
        FUZZ_CHECK(!error.message().isEmpty(), "an error without a message");
        return 0;
    }
    if (canonical)
        FUZZ_CHECK(written == input, "a page read and written unchanged changes its bytes");

    try {
        RecordReader reader(written);
        FUZZ_CHECK(reader.kind() == data[0], QByteArray::number(reader.kind()));
        FUZZ_CHECK(reader.length() == quint32(written.size() - RecordHeader::kindSize),
                   QByteArray::number(reader.length()));
        FUZZ_CHECK(reader.version() == kindInfo(*kind).version,
                   QByteArray::number(reader.version()));
        const QByteArray again = rewrite(format, reader);
        FUZZ_CHECK(reader.atEnd(), QByteArray::number(reader.position()));
        FUZZ_CHECK(again == written, "writing a page again changes its bytes");
    } catch (const TableError &error) {
        FUZZ_CHECK(false, shown(error.message()));
    }
    return 0;
}
