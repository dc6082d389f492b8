#include "loader.h"

#include "pagetext.h"
#include "recordfile.h"
#include "recordwalk.h"
#include "tableerror.h"

#include <QCollator>
#include <QtEndian>

#include <algorithm>
#include <cctype>
#include <future>
#include <numeric>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// The pages of one kind that the walk found, in file order. Their names stay in the table's
// bytes until the sort copies them, in list order, into a list of the exact size.
struct FoundPages
{
    void add(QByteArrayView name, int slot)
    {
        names.push_back(name);
        nameBytes += name.size();
        pageSlots.push_back(slot);
    }
    size_t size() const { return pageSlots.size(); }

    std::vector<QByteArrayView> names;
    qsizetype nameBytes = 0;
    std::vector<int> pageSlots;
};

// A page as the sort moves it: its index in FoundPages and, for byte keys, the key's
// first 8 bytes, big-endian.
struct SortEntry
{
    quint64 prefix;
    quint32 page;
};

struct SortedKind
{
    QList<int> slotMap;
    NameList names;
};

QCollator pageNameCollator(const QLocale &locale)
{
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

// Each Windows-1252 byte's rank among the characters the C locale's case-insensitive collator
// compares the bytes as (each its character, case-folded): 256 bytes give at most 256 ranks, so
// names written in ranks compare byte by byte as their folded characters do, digits included.
const std::array<quint8, 256> &byteRanks()
{
    static const std::array<quint8, 256> ranks = [] {
        std::array<char16_t, 256> folded {};
        for (int byte = 0; byte < 256; ++byte) {
            const char c = char(byte);
            folded[byte] = textFromBytes(QByteArrayView(&c, 1)).at(0).toCaseFolded().unicode();
        }
        std::array<char16_t, 256> order = folded;
        std::sort(order.begin(), order.end());
        const auto distinct = std::unique(order.begin(), order.end());
        std::array<quint8, 256> table {};
        for (int byte = 0; byte < 256; ++byte)
            table[byte] =
                quint8(std::lower_bound(order.begin(), distinct, folded[byte]) - order.begin());
        return table;
    }();
    return ranks;
}

// slot in width digits, zero-padded. The usual 5 each divide by a constant of their own: a
// chain of divisions, each waiting for the last, was a tenth of a load.
template<typename Char> void writeSlot(int slot, int width, const Char *digits, Char *out)
{
    if (width == 5) {
        out[0] = digits[slot / 10000 % 10];
        out[1] = digits[slot / 1000 % 10];
        out[2] = digits[slot / 100 % 10];
        out[3] = digits[slot / 10 % 10];
        out[4] = digits[slot % 10];
        return;
    }
    for (int i = width - 1; i >= 0; --i, slot /= 10)
        out[i] = digits[slot % 10];
}

// The sort key is the name followed by the zero-padded slot, so equal names keep file order.
// The slot takes 5 digits unless a kind has more slots than that. writeName puts a name's key
// characters at out and returns their end; sort orders the entries, given the key of each.
template<typename Char, typename WriteName, typename Sort>
SortedKind sortByKeys(const FoundPages &found, WriteName writeName, Sort sort)
{
    const qsizetype count = qsizetype(found.size());
    const int width = qMax(5, int(QString::number(count).size()));
    std::basic_string<Char> keys(found.nameBytes + count * width, Char(0));
    std::vector<qsizetype> keyStarts;
    keyStarts.reserve(count + 1);
    Char digits[10];
    writeName(QByteArrayView("0123456789"), digits);

    std::vector<SortEntry> entries;
    entries.reserve(count);
    Char *const begin = keys.data();
    Char *out = begin;
    for (qsizetype page = 0; page < count; ++page) {
        keyStarts.push_back(out - begin);
        Char *const key = out;
        out = writeName(found.names[size_t(page)], out);
        writeSlot(found.pageSlots[size_t(page)], width, digits, out);
        out += width;
        SortEntry entry { 0, quint32(entries.size()) };
        if constexpr (sizeof(Char) == 1) {
            for (Char *at = key; at < key + 8; ++at)
                entry.prefix = entry.prefix << 8 | (at < out ? quint8(*at) : 0);
        }
        entries.push_back(entry);
    }
    keyStarts.push_back(out - begin);
    sort(entries, [&](const SortEntry &entry) {
        return std::basic_string_view<Char>(begin + keyStarts[entry.page],
                                            keyStarts[entry.page + 1] - keyStarts[entry.page]);
    });

    SortedKind sorted;
    sorted.slotMap.reserve(count);
    sorted.names.reserve(count, found.nameBytes);
    for (const SortEntry &entry : entries) {
        sorted.slotMap.append(found.pageSlots[entry.page]);
        sorted.names.append(found.names[entry.page]);
    }
    return sorted;
}

// Orders entries by prefix a byte at a time from the first, then each run that shares the
// bytes so far on its own; a short run, or one whose 8 bytes all tie, is ordered by before. Random
// names make a comparing sort mispredict most of its branches, so only short runs are compared.
template<typename Before>
void sortByPrefixes(std::span<SortEntry> entries, int shift, std::vector<SortEntry> &scratch,
                    const Before &before)
{
    constexpr size_t kCompared = 16;
    std::array<size_t, 257> starts;
    for (;; shift -= 8) {
        if (entries.size() <= kCompared || shift < 0) {
            std::sort(entries.begin(), entries.end(), before);
            return;
        }
        starts.fill(0);
        for (const SortEntry &entry : entries)
            ++starts[(entry.prefix >> shift & 0xff) + 1];
        // A byte that all share, as the first of numbered names do, needs no moving.
        if (std::find(starts.begin(), starts.end(), entries.size()) == starts.end())
            break;
    }
    std::partial_sum(starts.begin(), starts.end(), starts.begin());
    std::array<size_t, 257> next = starts;
    scratch.resize(entries.size());
    for (const SortEntry &entry : entries)
        scratch[next[entry.prefix >> shift & 0xff]++] = entry;
    std::copy(scratch.begin(), scratch.begin() + entries.size(), entries.begin());
    for (size_t byte = 0; byte < 256; ++byte) {
        if (starts[byte + 1] - starts[byte] > 1)
            sortByPrefixes(entries.subspan(starts[byte], starts[byte + 1] - starts[byte]),
                           shift - 8, scratch, before);
    }
}

// The C locale's collator compares UTF-16 units, case-folded as ours ignores case, yet through
// calls per character that were most of a load's work; names are ranked once instead, and the
// keys, all different, are ordered as bytes: by their first 8 without comparing, then whole
// where those tie. ICU's own comparison beats making its sort keys for lists of this size;
// with it equal keys may occur, and they keep file order.
SortedKind sortKind(const FoundPages &found, const QCollator &collator)
{
    Q_ASSERT(collator.caseSensitivity() == Qt::CaseInsensitive);
    if (collator.locale().language() == QLocale::C) {
        const std::array<quint8, 256> &ranks = byteRanks();
        return sortByKeys<char>(
            found,
            [&](QByteArrayView name, char *out) {
                for (const char byte : name)
                    *out++ = char(ranks[quint8(byte)]);
                return out;
            },
            [&](std::vector<SortEntry> &entries, auto key) {
                // No name byte ranks 0, so a short key's zero padding sorts it before longer
                // ones, as the key itself does.
                auto before = [&](const SortEntry &a, const SortEntry &b) {
                    return a.prefix != b.prefix ? a.prefix < b.prefix : key(a) < key(b);
                };
                // A table saved by this program lists each kind in order already.
                if (std::is_sorted(entries.begin(), entries.end(), before))
                    return;
                std::vector<SortEntry> scratch;
                sortByPrefixes(std::span(entries), 56, scratch, before);
            });
    }
    return sortByKeys<char16_t>(
        found,
        [](QByteArrayView name, char16_t *out) {
            return reinterpret_cast<char16_t *>(
                textFromBytes(name, reinterpret_cast<QChar *>(out)));
        },
        [&](std::vector<SortEntry> &entries, auto key) {
            auto before = [&](const SortEntry &a, const SortEntry &b) {
                return collator.compare(QStringView(key(a)), QStringView(key(b))) < 0;
            };
            if (!std::is_sorted(entries.begin(), entries.end(), before))
                std::stable_sort(entries.begin(), entries.end(), before);
        });
}

// Sorting is the longest part of a load past reading, so a large table's kinds are shared
// between this thread and a second one, as evenly as whole kinds allow. Each thread has a
// collator of its own.
std::array<SortedKind, kEditedKinds.size()>
sortAll(const std::array<FoundPages, kEditedKinds.size()> &found, const QLocale &locale)
{
    constexpr size_t kWorthAThread = 1000;
    std::array<size_t, kEditedKinds.size()> largestFirst;
    std::iota(largestFirst.begin(), largestFirst.end(), size_t(0));
    std::sort(largestFirst.begin(), largestFirst.end(),
              [&](size_t a, size_t b) { return found[a].size() > found[b].size(); });
    std::array<bool, kEditedKinds.size()> helped {};
    size_t helperPages = 0;
    size_t ownPages = 0;
    for (size_t kind : largestFirst) {
        const bool toHelper = helperPages <= ownPages;
        helped[kind] = toHelper;
        (toHelper ? helperPages : ownPages) += found[kind].size();
    }
    const bool twoThreads = helperPages >= kWorthAThread;
    if (!twoThreads)
        helped = {};

    std::array<SortedKind, kEditedKinds.size()> sorted;
    auto sortKinds = [&](bool onHelper) {
        const QCollator collator = pageNameCollator(locale);
        for (size_t i = 0; i < found.size(); ++i) {
            if (helped[i] == onHelper)
                sorted[i] = sortKind(found[i], collator);
        }
    };
    std::future<void> helper;
    if (twoThreads)
        helper = std::async(std::launch::async, sortKinds, true);
    sortKinds(false);
    if (helper.valid())
        helper.get();
    return sorted;
}

} // namespace

namespace {

// The table as text that `vktable dump` writes starts as JSON does: its first "length" would
// then run hundreds of megabytes past the end of any such file.
bool isTableText(QByteArrayView start, qint64 fileSize)
{
    if (start.size() < RecordHeader::kindSize + RecordHeader::lengthSize ||
        qFromLittleEndian<quint32>(start.data() + RecordHeader::kindSize) < fileSize)
        return false;
    if (start.startsWith("\xEF\xBB\xBF"))
        start = start.sliced(3);
    const qsizetype first = std::find_if_not(start.begin(), start.end(),
                                             [](char c) { return std::isspace(quint8(c)); }) -
        start.begin();
    return first < start.size() && start[first] == '{' && start.contains("\"vktable\"");
}

} // namespace

QString cutOffRecordMessage(qint64 cutOffRecord)
{
    return u"The table file ends inside the page at byte %1, cut short. That page has been "
           "left out and will not be saved."_s.arg(cutOffRecord);
}

namespace {

LoadedTable loadTable(const MemoryTable &file, const QLocale &locale)
{
    if (file.size() == 0)
        throw TableError(u"damaged table file: the file is empty"_s);
    if (isTableText(file.bytesAt(0, 256), file.size()))
        throw TableError(u"this is a table as text (JSON), as \"vktable dump\" writes it, not a "
                         u"table file; make a table file from it with \"vktable build\""_s);

    LoadedTable table;
    std::array<FoundPages, kEditedKinds.size()> found;
    walkRecords(file, [&](const TableRecord &record) {
        if (record.sort == TableRecord::Sort::ImpossibleLength)
            file.damaged(record.offset,
                         u"has an impossible length of %1 bytes"_s.arg(record.length));
        if (!record.whole) {
            // A file cut short, by a failed download for one. Such a page could neither be
            // read nor saved whole, and every later save would fail on it, so it is left out
            // and the caller says so. A file without one whole record is no table file.
            if (record.offset == 0)
                file.damaged(record.offset, u"runs past the end of the file"_s);
            if (record.sort == TableRecord::Sort::OtherVersion)
                table.versionMismatch = true;
            else if (record.kind)
                table.cutOffRecord = record.offset;
            return;
        }
        if (record.sort == TableRecord::Sort::OtherVersion) {
            table.versionMismatch = true;
        } else if (record.sort == TableRecord::Sort::Page) {
            const int slot = table.directory.recordLoadedPage(*record.kind, record.offset);
            table.records.add({ record.offset, record.size(), record.kindByte });
            if (isEdited(*record.kind)) {
                if (record.nameRunsPast)
                    file.damaged(record.offset, u"has a name that runs past its end"_s);
                found[kindIndex(*record.kind)].add(record.name, slot);
            }
        }
    });

    std::array<SortedKind, kEditedKinds.size()> sorted = sortAll(found, locale);
    for (PageKind kind : kEditedKinds) {
        SortedKind &kindSorted = sorted[kindIndex(kind)];
        table.directory.setSlotMap(kind, std::move(kindSorted.slotMap));
        table.names[kindIndex(kind)] = std::move(kindSorted.names);
    }
    table.directory.closeLoad();
    return table;
}

} // namespace

LoadedTable LoadTableFile(const QString &path, const QLocale &locale)
{
    RecordFile file(path, u"table file"_s);
    // Mapped, the headers and names are read where the file cache holds them: a read through
    // a window copied every byte and took twice as long as the walk itself.
    file.readWhole();
    LoadedTable table;
    try {
        table = LoadTableBytes(file.bytesAt(0, file.size()), locale);
    } catch (const TableError &) {
        // What the walk read past a cut was zeros, not the file: said as a read that ends early.
        file.confirmReads();
        throw;
    }
    file.confirmReads();
    table.records.keepMapping(file.mapping());
    return table;
}

LoadedTable LoadTableBytes(QByteArrayView bytes, const QLocale &locale)
{
    return loadTable(MemoryTable(bytes), locale);
}
