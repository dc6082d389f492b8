#include "checkwindow.h"

#include "hoverhelp.h"
#include "pagetext.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

enum Column { KindColumn, PageColumn, FieldColumn, ProblemColumn, ColumnCount };

// Wide enough that most fields and problems show whole; a cut one shows whole in its row's
// tool tip.
constexpr QSize kListSize(840, 290);

bool opens(const Finding &finding)
{
    return finding.pageKind && finding.position >= 0;
}

// Without rows, the list says in its middle what the check looked for, rather than stay blank.
class FindingList : public QTreeWidget
{
public:
    using QTreeWidget::QTreeWidget;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QTreeWidget::paintEvent(event);
        if (topLevelItemCount() > 0)
            return;
        QPainter painter(viewport());
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(viewport()->rect().adjusted(24, 0, -24, 0),
                         Qt::AlignCenter | Qt::TextWordWrap,
                         u"No broken references, repeated page names or damaged pages."_s);
    }
};

} // namespace

CheckWindow::CheckWindow(UserDialogs &dialogs, QWidget *parent)
    : EditorWindow(dialogs, u"Check table"_s, u"checktable"_s, parent)
{
    m_summary = new QLabel(this);
    help().addHint(m_summary,
                   u"How many problems the check found in the pages as they are now, edits "
                   "included."_s);

    m_list = new FindingList(this);
    m_list->setColumnCount(ColumnCount);
    m_list->setHeaderLabels({ u"Kind"_s, u"Page"_s, u"Field"_s, u"Problem"_s });
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    // A field's window and the field itself, a page name's ends, the name a problem quotes.
    m_list->setTextElideMode(Qt::ElideMiddle);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->header()->setSectionsMovable(false);
    m_list->header()->setStretchLastSection(true);
    m_list->setMinimumSize(kListSize);
    m_list->setAccessibleName(u"Findings"_s);
    const QString listHint =
        u"The problems found, one a row: the page's kind and name, the field at fault (the "
        "windows that lead to it; its tool tip is its key in vktable dump) and what is wrong. "
        "Double-click a row, or press Enter on it, to open the page in its editor."_s;
    // The mouse moves over the rows and the header, not over the list itself.
    for (QWidget *part :
         { static_cast<QWidget *>(m_list), m_list->viewport(), m_list->header()->viewport() })
        help().addHint(part, listHint);
    connect(m_list, &QTreeWidget::activated, this, [this](const QModelIndex &index) {
        // A copy: the check that follows the editor replaces the findings.
        const Finding finding = m_findings.value(index.row());
        if (opens(finding))
            emit pageRequested(finding);
    });

    m_checkAgain = withHint(new QPushButton(u"Check &again"_s, this),
                            u"Check the pages again as they are now, edits included."_s);
    auto *close = withHint(new QPushButton(u"&Close"_s, this), u"Close this window."_s);
    connect(m_checkAgain, &QPushButton::clicked, this, &CheckWindow::checkRequested);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_checkAgain);
    buttons->addWidget(close);

    auto *content = new QVBoxLayout;
    content->addWidget(m_summary);
    content->addWidget(m_list, 1);
    content->addLayout(buttons);
    setContent(content);
    setFindings({});
}

void CheckWindow::showEvent(QShowEvent *event)
{
    EditorWindow::showEvent(event);
    // The keyboard starts on the rows, where Enter opens a page.
    m_list->setFocus();
}

int CheckWindow::currentRow() const
{
    return m_list->indexOfTopLevelItem(m_list->currentItem());
}

void CheckWindow::setFindings(QList<Finding> findings, int currentRow)
{
    m_findings = std::move(findings);
    m_list->clear();
    QList<QTreeWidgetItem *> rows;
    rows.reserve(m_findings.size());
    for (const Finding &finding : std::as_const(m_findings)) {
        const QString page = textFromBytes(finding.name);
        auto *row = new QTreeWidgetItem({ finding.kind, page, finding.captions, finding.problem });
        const QString unread = opens(finding)
            ? QString()
            : u"\nThe program cannot read this page, so no editor opens it from here."_s;
        // The row whole, however narrow its columns; the field by its key, as vktable and the
        // text form call it.
        const QString tip =
            u"%1 \"%2\": %3: %4"_s.arg(finding.kind, page, finding.captions, finding.problem);
        for (int column = 0; column < ColumnCount; ++column)
            row->setToolTip(column, (column == FieldColumn ? finding.field : tip) + unread);
        row->setData(FieldColumn, Qt::AccessibleDescriptionRole, finding.field);
        rows.append(row);
    }
    m_list->addTopLevelItems(rows);

    const qsizetype count = m_findings.size();
    const QString summary = count == 0
        ? u"No problems found."_s
        : (count == 1 ? u"1 problem found."_s : u"%1 problems found."_s.arg(count)) +
            u" Double-click one, or press Enter on it, to open its page."_s;
    m_summary->setText(summary);
    m_list->setAccessibleDescription(summary);

    // Kind, Page and Field as wide as their texts within bounds; Problem takes the rest.
    constexpr std::array<std::pair<double, double>, ProblemColumn> bounds = {
        { { 0.08, 0.12 }, { 0.14, 0.24 }, { 0.20, 0.42 } }
    };
    for (int column = 0; column < ProblemColumn; ++column) {
        m_list->resizeColumnToContents(column);
        m_list->setColumnWidth(column,
                               qBound(int(kListSize.width() * bounds[column].first),
                                      m_list->columnWidth(column),
                                      int(kListSize.width() * bounds[column].second)));
    }

    if (!rows.isEmpty()) {
        QTreeWidgetItem *current = rows[qBound(0, currentRow, int(rows.size()) - 1)];
        m_list->setCurrentItem(current);
        m_list->scrollToItem(current);
    }
}
