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
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// The pages of one kind that the walk found, their names kept back to back in one buffer.
struct FoundPages
{
    struct Page
    {
        qsizetype nameStart;
        qsizetype nameSize;
        int slot;
    };

    void add(QByteArrayView name, int slot)
    {
        pages.push_back({ names.size(), name.size(), slot });
        names.append(name);
    }
    QByteArrayView name(const Page &page) const
    {
        return QByteArrayView(names).sliced(page.nameStart, page.nameSize);
    }

    QByteArray names;
    std::vector<Page> pages;
};

struct SortedKind
{
    QList<int> slotMap;
    QList<QByteArray> names;
};

QCollator pageNameCollator(const QLocale &locale)
{
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

// Each Windows-1252 byte as the C locale's case-insensitive collator compares it: its
// character, case-folded.
const std::array<char16_t, 256> &foldedBytes()
{
    static const std::array<char16_t, 256> folded = [] {
        std::array<char16_t, 256> table {};
        for (int byte = 0; byte < 256; ++byte) {
            const char c = char(byte);
            table[byte] = textFromBytes(QByteArrayView(&c, 1)).at(0).toCaseFolded().unicode();
        }
        return table;
    }();
    return folded;
}

// The sort key is the name, in its Windows-1252 characters, followed by the zero-padded slot,
// so equal names keep file order. The slot takes 5 digits unless a kind has more slots than
// that.
//
// The C locale's collator compares UTF-16 units, case-folded as ours ignores case, yet through
// calls per character that were most of a load's work; its keys are folded once instead.
// ICU's own comparison beats making its sort keys for lists of this size.
SortedKind sortKind(const FoundPages &found, const QCollator &collator)
{
    Q_ASSERT(collator.caseSensitivity() == Qt::CaseInsensitive);
    const qsizetype count = qsizetype(found.pages.size());
    const int width = qMax(5, int(QString::number(count).size()));
    const bool cLocale = collator.locale().language() == QLocale::C;
    const std::array<char16_t, 256> &folded = foldedBytes();
    std::u16string keys(found.names.size() + count * width, u'\0');

    struct Entry
    {
        std::u16string_view key;
        const FoundPages::Page *page;
    };
    std::vector<Entry> entries;
    entries.reserve(count);
    char16_t *out = keys.data();
    for (const FoundPages::Page &page : found.pages) {
        char16_t *const key = out;
        const QByteArrayView name = found.name(page);
        if (cLocale) {
            for (const char byte : name)
                *out++ = folded[quint8(byte)];
        } else {
            out = reinterpret_cast<char16_t *>(textFromBytes(name, reinterpret_cast<QChar *>(out)));
        }
        int slot = page.slot;
        for (int i = width - 1; i >= 0; --i, slot /= 10)
            out[i] = char16_t(u'0' + slot % 10);
        out += width;
        entries.push_back({ std::u16string_view(key, out - key), &page });
    }
    auto sortBy = [&](auto before) {
        // A table saved by this program lists each kind in this order already.
        if (!std::is_sorted(entries.begin(), entries.end(), before))
            std::stable_sort(entries.begin(), entries.end(), before);
    };
    if (cLocale) {
        sortBy([](const Entry &a, const Entry &b) { return a.key < b.key; });
    } else {
        sortBy([&](const Entry &a, const Entry &b) {
            return collator.compare(QStringView(a.key.data(), a.key.size()),
                                    QStringView(b.key.data(), b.key.size())) < 0;
        });
    }

    SortedKind sorted;
    sorted.slotMap.reserve(count);
    sorted.names.reserve(count);
    for (const Entry &entry : entries) {
        sorted.slotMap.append(entry.page->slot);
        sorted.names.append(found.name(*entry.page).toByteArray());
    }
    return sorted;
}

// A large table sorts its largest kind on a second
// thread meanwhile. Each thread has a collator of its own.
std::array<SortedKind, kEditedKinds.size()>
sortAll(const std::array<FoundPages, kEditedKinds.size()> &found, const QLocale &locale)
{
    constexpr size_t kWorthAThread = 1000;
    std::array<SortedKind, kEditedKinds.size()> sorted;
    const size_t largest = std::distance(
        found.begin(),
        std::max_element(found.begin(), found.end(), [](const auto &a, const auto &b) {
            return a.pages.size() < b.pages.size();
        }));
    std::future<void> helper;
    if (found[largest].pages.size() >= kWorthAThread) {
        helper = std::async(std::launch::async, [&] {
            sorted[largest] = sortKind(found[largest], pageNameCollator(locale));
        });
    }
    const QCollator collator = pageNameCollator(locale);
    for (size_t i = 0; i < found.size(); ++i) {
        if (i != largest || !helper.valid())
            sorted[i] = sortKind(found[i], collator);
    }
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

// The load of a table from a RecordFile or a MemoryTable, which say where a record is damaged.
template<typename Source> LoadedTable loadTable(Source &file, const QLocale &locale)
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
    RecordFile file(path, u"table file"_s, 256 * 1024);
    return loadTable(file, locale);
}

LoadedTable LoadTableBytes(QByteArrayView bytes, const QLocale &locale)
{
    MemoryTable table(bytes);
    return loadTable(table, locale);
}
