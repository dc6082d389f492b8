#include "randomedits.h"

#include "tablebuilder.h"
#include "workspace.h"

#include <QList>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

constexpr std::array<PageKind, 5> kKindsEdited = { PageKind::Sound, PageKind::Texture,
                                                   PageKind::Weapon, PageKind::Generic,
                                                   PageKind::Ship };

QByteArray pageRecord(PageKind kind, const QByteArray &name, int variant)
{
    switch (kind) {
    case PageKind::Sound:
        return sound(name, float(variant));
    case PageKind::Texture:
        return texture(name);
    case PageKind::Weapon:
        return weaponPage(name);
    case PageKind::Generic:
        return genericPage(name, quint8(variant % 5));
    default:
        return shipPage(name);
    }
}

} // namespace

// What undo and redo point back at: a page's slot and the record and name it had.
struct RandomEdits::History
{
    enum class What { Apply, Add, Delete };
    struct Step
    {
        What what;
        PageKind kind;
        int slot;
        int position;
        qint64 before;
        qint64 after;
        QByteArray beforeName;
        QByteArray afterName;
    };
    QList<Step> done;
    QList<Step> undone;
};

RandomEdits::RandomEdits(Workspace &workspace, QString tablePath, unsigned seed)
    : m_workspace(workspace)
    , m_tablePath(std::move(tablePath))
    , m_random(seed)
    , m_history(new History)
{ }

RandomEdits::~RandomEdits()
{
    delete m_history;
}

QString RandomEdits::step()
{
    using What = History::What;
    Workspace &ws = m_workspace;
    const int n = m_steps++;
    const auto pick = [this](int below) { return int(m_random() % unsigned(below)); };
    const PageKind kind = kKindsEdited[pick(int(kKindsEdited.size()))];
    const int count = ws.pages().pageCount(kind);
    const QByteArray name = "p" + QByteArray::number(n);
    const auto rowOf = [&](PageKind k, int slot) {
        for (int p = 0; p < ws.pages().pageCount(k); ++p)
            if (ws.slotOf(k, p) == slot)
                return p;
        return -1;
    };
    const int roll = pick(100);

    if (roll < 3) {
        ws.load(m_tablePath);
        *m_history = {};
        return u"load"_s;
    }
    if (roll < 5) {
        ws.newTable();
        *m_history = {};
        return u"new table"_s;
    }
    if (roll < 25 && (!m_history->done.isEmpty() || !m_history->undone.isEmpty())) {
        const bool undo = m_history->undone.isEmpty() || (!m_history->done.isEmpty() && pick(3));
        QList<History::Step> &from = undo ? m_history->done : m_history->undone;
        QList<History::Step> &to = undo ? m_history->undone : m_history->done;
        const History::Step s = from.takeLast();
        const int row = rowOf(s.kind, s.slot);
        const bool putBack = (s.what == What::Delete) == undo; // the page goes back in
        if (s.what == What::Apply && row >= 0) {
            ws.pointAt(s.kind, row, undo ? s.before : s.after, undo ? s.beforeName : s.afterName);
        } else if (s.what != What::Apply && putBack && row < 0) {
            ws.restorePage(s.kind, qMin(s.position, ws.pages().pageCount(s.kind)), s.slot,
                           s.beforeName);
        } else if (s.what != What::Apply && !putBack && row >= 0) {
            ws.removePage(s.kind, row);
        } else {
            return u"nothing to %1"_s.arg(undo ? u"undo"_s : u"redo"_s);
        }
        to.append(s);
        return u"%1 %2 slot %3"_s.arg(undo ? u"undo"_s : u"redo"_s, kindInfo(s.kind).name)
            .arg(s.slot);
    }
    if (roll < 50 || count == 0) {
        const int slot = ws.storeNewPage(kind, pageRecord(kind, name, n));
        ws.restorePage(kind, count, slot, name);
        m_history->done.append({ What::Add, kind, slot, count, 0, 0, name, name });
        m_history->undone.clear();
        return u"add %1 %2"_s.arg(kindInfo(kind).name, QString::fromLatin1(name));
    }
    const int position = pick(count);
    const int slot = ws.slotOf(kind, position);
    const QByteArray old = ws.pageNames(kind)[position].toByteArray();
    if (roll < 60) {
        ws.removePage(kind, position);
        m_history->done.append({ What::Delete, kind, slot, position, 0, 0, old, old });
        m_history->undone.clear();
        return u"delete %1 at %2"_s.arg(kindInfo(kind).name).arg(position);
    }
    if (roll < 65) {
        ws.setPageName(kind, position, name);
        return u"rename %1 at %2"_s.arg(kindInfo(kind).name).arg(position);
    }
    if (roll < 75) {
        // Several pages of several kinds at once, as Rename all makes.
        QList<Workspace::Pointing> pages;
        for (PageKind other : kKindsEdited)
            if (const int c = ws.pages().pageCount(other); c > 0 && pick(2)) {
                const int at = pick(c);
                pages.append(
                    { other, at, ws.appendRecord(other, pageRecord(other, name, n)), name });
            }
        ws.pointAt(pages);
        m_history->done.clear();
        m_history->undone.clear();
        return u"change %1 pages at once"_s.arg(pages.size());
    }
    const qint64 before = ws.recordOf(kind, position);
    const QByteArray newName = pick(2) ? old : name;
    ws.applyPage(kind, position, pageRecord(kind, newName, n), newName);
    m_history->done.append(
        { What::Apply, kind, slot, position, before, ws.recordOf(kind, position), old, newName });
    m_history->undone.clear();
    return u"apply %1 at %2"_s.arg(kindInfo(kind).name).arg(position);
}
