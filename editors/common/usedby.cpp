#include "usedby.h"

#include "pagelistmodel.h"
#include "pagelists.h"
#include "pagetext.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QPushButton>
#include <QSet>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int kPageRole = Qt::UserRole;

} // namespace

UsedByWindow::UsedByWindow(PageLists &lists, UserDialogs &dialogs, QWidget *parent)
    : EditorWindow(dialogs, u"Used by"_s, u"usedby"_s, parent)
    , m_lists(lists)
    , m_list(new QTreeWidget(this))
{
    m_list->setHeaderLabels({ u"Kind"_s, u"Page"_s, u"Field"_s });
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->header()->setStretchLastSection(true);
    m_list->setMinimumSize(620, 260);
    m_list->setAccessibleName(u"Pages that name this one"_s);
    connect(m_list, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        const QPoint page = item->data(0, kPageRole).toPoint();
        m_picked = ReferenceIndex::Page { PageKind(page.x()), page.y() };
        accept();
    });
    auto *close = withHint(new QPushButton(u"&Close"_s, this), u"Closes this list."_s);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto *content = new QVBoxLayout;
    content->addWidget(m_list);
    content->addLayout(buttons);
    setContent(content);
}

void UsedByWindow::showUses(PageKind kind, const QByteArray &name)
{
    setWindowTitle(u"Used by \"%1\""_s.arg(textFromBytes(name)));
    m_list->clear();
    // Page names by slot, each kind's list read once.
    std::array<QHash<int, int>, kEditedKinds.size()> rows;
    std::array<bool, kEditedKinds.size()> mapped {};
    QList<QTreeWidgetItem *> items;
    for (const ReferenceIndex::Use &use : m_lists.index().usesOf(kind, name)) {
        const PageListModel &model = m_lists.model(use.page.kind);
        const size_t k = size_t(kindIndex(use.page.kind));
        if (!std::exchange(mapped[k], true))
            for (int row = 0; row < model.rowCount(); ++row)
                rows[k].insert(model.slot(row), row);
        const int row = rows[k].value(use.page.id, -1);
        if (row < 0)
            continue;
        auto *item =
            new QTreeWidgetItem({ kindInfo(use.page.kind).name.toString(),
                                  textFromBytes(model.name(row)), use.reference->path.captions() });
        item->setToolTip(2, use.reference->path.key());
        item->setData(2, Qt::AccessibleDescriptionRole, use.reference->path.key());
        item->setData(0, kPageRole, QPoint(int(use.page.kind), use.page.id));
        items.append(item);
    }
    m_list->addTopLevelItems(items);
    // Sized from the texts, once each: measuring every row's would take longer than the rest.
    const QFontMetrics metrics = m_list->fontMetrics();
    for (int column = 0; column < 2; ++column) {
        QSet<QString> texts;
        int width = metrics.horizontalAdvance(m_list->headerItem()->text(column));
        for (const QTreeWidgetItem *item : std::as_const(items)) {
            const QString text = item->text(column);
            if (texts.contains(text))
                continue;
            texts.insert(text);
            width = qMax(width, metrics.horizontalAdvance(text));
        }
        m_list->header()->resizeSection(column, width + 3 * metrics.averageCharWidth());
    }
    if (!items.isEmpty())
        m_list->setCurrentItem(items.front());
}

std::optional<ReferenceIndex::Page> UsedByWindow::pick(PageKind kind, const QByteArray &name)
{
    m_picked.reset();
    showUses(kind, name);
    m_list->setFocus();
    showModal();
    return m_picked;
}
