// flagsfile OUT: writes flags.txt, which the flag hints send the user to: every check list of
// every window, each item with its bit, made from the layouts the windows are built from.

#include "genericpage.h"
#include "pageformats.h"
#include "savefile.h"
#include "sharedblocks.h"
#include "shippage.h"
#include "tableerror.h"

#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// The settings window that shows a block of a page, and every block within it.
struct BlockWindow
{
    const Layout *block;
    const char *title;
};
const BlockWindow kBlockWindows[] = {
    { &PhysicsBlock::layout, "Physics" },
    { &LightingBlock::layout, "Lighting" },
    { &GenericPage::AiBlock::layout, "AI" },
    { &GenericPage::SpewSlot::layout, "Spew" },
    { &WeaponBattery::layout, "Weapon Batteries" },
    { &GenericPage::DeathTypes::layout, "Death types" },
    { &ShipPage::Weapon::layout, "Ship weapons" },
};

struct Window
{
    QString title;
    QStringList openedFrom;
    QStringList lists; // each a caption and its lines
};

int bitsOf(FieldEncoding encoding)
{
    return encoding == FieldEncoding::ByteBits ? 8 : encoding == FieldEncoding::WordBits ? 16 : 32;
}

QString describe(const FieldSpec &field)
{
    QString text = QString::fromLatin1(field.caption) + u'\n';
    if (field.unknown)
        return text +
            u"  Not known: the list shows only \"Unknown\"; the stored value is shown\n"
            "  beside it and kept as it is.\n"_s;
    const int bits = bitsOf(field.encoding);
    for (int bit = 0; bit < int(field.items.size()); ++bit)
        text += u"  bit %1  0x%2  %3\n"_s.arg(bit, 2)
                    .arg(1u << bit, bits / 4, 16, QChar(u'0'))
                    .arg(QString::fromLatin1(field.items[size_t(bit)]));
    if (int(field.items.size()) < bits)
        text += u"  bits %1 to %2 have no item; they are kept as the page stores them.\n"_s
                    .arg(field.items.size())
                    .arg(bits - 1);
    return text;
}

class Collector
{
public:
    // The check lists of a layout, in the window shown; a block at a page's top level opens
    // a window of its own.
    void collect(const Layout &layout, const QString &window, const QString &page, bool top)
    {
        for (int i = 0; i < layout.size(); ++i) {
            const Item &item = layout[i];
            if (item.isBlock()) {
                collect(*item.block, top ? blockWindow(*item.block, window) : window, page, false);
            } else if (item.sort == Item::Sort::Field && isBitSet(item.field.encoding)) {
                add(window, page, describe(item.field));
            }
        }
    }

    QString text() const
    {
        QString text =
            u"flags.txt: what the bits of the check lists of VK Control Panel mean, by window.\n"
            "\n"
            "A check list stands for one number: item 1 is bit 0 (value 0x1), item 2 is bit 1\n"
            "(value 0x2), and so on. The value is the sum of the values of the checked items.\n"_s;
        for (const Window &window : m_windows) {
            QString heading = window.title;
            if (window.openedFrom.size() > 1 || window.openedFrom.constFirst() != window.title)
                heading += u" (opened from %1)"_s.arg(window.openedFrom.join(u", "_s));
            text += u'\n' + heading + u'\n' + QString(heading.size(), u'-') + u'\n';
            text += window.lists.join(u'\n');
        }
        return text;
    }

private:
    static QString blockWindow(const Layout &block, const QString &page)
    {
        for (const BlockWindow &window : kBlockWindows)
            if (window.block == &block)
                return QString::fromLatin1(window.title);
        return page; // holds no check list, or shows it in the page's own window
    }

    void add(const QString &title, const QString &page, const QString &list)
    {
        auto window = std::find_if(m_windows.begin(), m_windows.end(),
                                   [&](const Window &each) { return each.title == title; });
        if (window == m_windows.end())
            window = m_windows.insert(m_windows.end(), { title, {}, {} });
        if (!window->openedFrom.contains(page))
            window->openedFrom.append(page);
        // A shared window's lists come once.
        if (!window->lists.contains(list))
            window->lists.append(list);
    }

    std::vector<Window> m_windows;
};

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("Usage: flagsfile OUT\n", stderr);
        return 2;
    }
    Collector collector;
    for (const PageKind kind : kEditedKinds) {
        const QString page = QString::fromLatin1(pageFormat(kind).windowTitle);
        collector.collect(*pageFormat(kind).layout, page, page, true);
    }
    try {
        SafeSave out(QString::fromLocal8Bit(argv[1]));
        out.write(collector.text().toUtf8());
        out.commit();
    } catch (const TableError &error) {
        std::fprintf(stderr, "flagsfile: %s\n", error.what());
        return 1;
    }
    return 0;
}
