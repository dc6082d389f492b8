#include "loader.h"

#include "recordfile.h"
#include "tableerror.h"

#include <QCollator>
#include <QtEndian>

#include <algorithm>
#include <cctype>
#include <future>
#include <optional>
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

quint16 versionOf(QByteArrayView header)
{
    return qFromLittleEndian<quint16>(header.data() + RecordHeader::kindSize +
                                      RecordHeader::lengthSize);
}

QCollator pageNameCollator(const QLocale &locale)
{
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

// The sort key is the name followed by the zero-padded slot, so equal names keep file
// order. The slot takes 5 digits unless a kind has more slots than that.
SortedKind sortKind(const FoundPages &found, const QCollator &collator)
{
    const qsizetype count = qsizetype(found.pages.size());
    const int width = qMax(5, int(QString::number(count).size()));
    QString keys(found.names.size() + count * width, Qt::Uninitialized);

    struct Entry
    {
        QStringView key;
        const FoundPages::Page *page;
    };
    std::vector<Entry> entries;
    entries.reserve(count);
    QChar *out = keys.data();
    for (const FoundPages::Page &page : found.pages) {
        QChar *const key = out;
        for (char c : found.name(page))
            *out++ = QLatin1Char(c);
        int slot = page.slot;
        for (int i = width - 1; i >= 0; --i, slot /= 10)
            out[i] = QLatin1Char(char('0' + slot % 10));
        out += width;
        entries.push_back({ QStringView(key, out), &page });
    }
    auto before = [&](const Entry &a, const Entry &b) {
        return collator.compare(a.key, b.key) < 0;
    };
    // A table saved by this program lists each kind in this order already.
    if (!std::is_sorted(entries.begin(), entries.end(), before))
        std::stable_sort(entries.begin(), entries.end(), before);

    SortedKind sorted;
    sorted.slotMap.reserve(count);
    sorted.names.reserve(count);
    for (const Entry &entry : entries) {
        sorted.slotMap.append(entry.page->slot);
        sorted.names.append(found.name(*entry.page).toByteArray());
    }
    return sorted;
}

// Sorting is most of a load's work, so a large table sorts its largest kind on a second
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

LoadedTable LoadTableFile(const QString &path, const QLocale &locale)
{
    RecordFile file(path, u"table file"_s, 256 * 1024);
    if (file.size() == 0)
        throw TableError(u"damaged table file: the file is empty"_s);
    if (isTableText(file.bytesAt(0, 256), file.size()))
        throw TableError(u"this is a table as text (JSON), as \"vktable dump\" writes it, not a "
                         u"table file; make a table file from it with \"vktable build\""_s);

    LoadedTable table;
    std::array<FoundPages, kEditedKinds.size()> found;
    const QString pastTheEnd = u"runs past the end of the file"_s;

    qint64 position = 0;
    do {
        const QByteArrayView header = file.bytesAt(position, RecordHeader::size);
        const std::optional<PageKind> kind = acceptedKind(quint8(header[0]));
        const bool headerWhole = header.size() >= RecordHeader::kindSize + RecordHeader::lengthSize;
        const quint32 length =
            headerWhole ? qFromLittleEndian<quint32>(header.data() + RecordHeader::kindSize) : 0;
        if (headerWhole && length < RecordHeader::minimumLength)
            file.damaged(position, u"has an impossible length of %1 bytes"_s.arg(length));
        const qint64 recordEnd = position + 1 + qint64(length);

        if (!headerWhole || recordEnd > file.size()) {
            // A file cut short, by a failed download for one. Such a page could neither be
            // read nor saved whole, and every later save would fail on it, so it is left out
            // and the caller says so. A file without one whole record is no table file.
            if (position == 0)
                file.damaged(position, pastTheEnd);
            const bool otherVersion = kind && header.size() == RecordHeader::size &&
                versionOf(header) != kindInfo(*kind).version;
            if (otherVersion)
                table.versionMismatch = true;
            else if (kind)
                table.cutOffRecord = position;
            break;
        }

        if (kind) {
            if (versionOf(header) != kindInfo(*kind).version) {
                table.versionMismatch = true;
            } else {
                const int slot = table.directory.recordLoadedPage(*kind, position);
                if (isEdited(*kind)) {
                    const qint64 nameStart =
                        position + RecordHeader::size + kindInfo(*kind).nameOffset;
                    const qint64 nul = file.findNul(nameStart, recordEnd);
                    if (nul < 0)
                        file.damaged(position, u"has a name that runs past its end"_s);
                    found[kindIndex(*kind)].add(file.bytesAt(nameStart, nul - nameStart), slot);
                }
            }
        }
        position = recordEnd;
    } while (position < file.size());

    std::array<SortedKind, kEditedKinds.size()> sorted = sortAll(found, locale);
    for (PageKind kind : kEditedKinds) {
        SortedKind &kindSorted = sorted[kindIndex(kind)];
        table.directory.setSlotMap(kind, std::move(kindSorted.slotMap));
        table.names[kindIndex(kind)] = std::move(kindSorted.names);
    }
    table.directory.closeLoad();
    return table;
}
