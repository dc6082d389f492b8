#include "pagelistpanel.h"

#include "hoverhelp.h"
#include "pagefilter.h"
#include "pagelistmodel.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// Escape in the filter field clears the filter, rather than close the window; with the field
// empty it does what it does anywhere in the window.
class ClearOnEscape : public QObject
{
public:
    explicit ClearOnEscape(QLineEdit *field)
        : QObject(field)
    {
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const bool escape =
            (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
            static_cast<QKeyEvent *>(event)->keyCombination() == QKeyCombination(Qt::Key_Escape);
        // Checked, not cast blindly: a field being destroyed still gets events, as a QWidget.
        auto *field = escape ? qobject_cast<QLineEdit *>(watched) : nullptr;
        if (!field || field->text().isEmpty())
            return false;
        if (event->type() == QEvent::KeyPress)
            field->clear();
        event->accept();
        return true;
    }
};

} // namespace

QLineEdit *makeFilterField(HoverHelp &help, QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setPlaceholderText(u"Filter"_s);
    field->setAccessibleName(u"Filter"_s);
    field->setClearButtonEnabled(true);
    help.addHint(field, u"Type part of a page name to list only the pages whose names contain it. "
                        "Escape clears the filter."_s);
    new ClearOnEscape(field);
    return field;
}

PageListPanel::PageListPanel(const QString &caption, PageListModel &model, HoverHelp &help,
                             QWidget *parent)
    : QFrame(parent)
{
    setObjectName(u"panel"_s);
    setFrameShape(QFrame::StyledPanel);
    help.addArea(this);

    // Before the filter follows the model, so that the view's move of the selection to a
    // neighbour of a row that goes is not announced.
    connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this] { m_removing = true; });
    m_filter = new PageFilterModel(this);
    m_filter->setSourceModel(&model);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, [this] {
        m_removing = false;
        m_list->clearSelection();
    });

    auto *listCaption = new QLabel(caption, this);
    m_filterField = makeFilterField(help, this);
    connect(m_filterField, &QLineEdit::textChanged, this, &PageListPanel::filter);
    m_list = new QListView(this);
    m_list->setModel(m_filter);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setUniformItemSizes(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setMinimumWidth(180);
    m_list->setAccessibleName(listCaption->text());
    listCaption->setBuddy(m_list);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_removing)
            emit selectionChanged();
    });
    m_buttons = new QHBoxLayout;

    auto *column = new QVBoxLayout(this);
    column->addWidget(listCaption);
    column->addWidget(m_filterField);
    column->addWidget(m_list, 1);
    column->addLayout(m_buttons);
}

void PageListPanel::addButton(QAbstractButton *button)
{
    m_buttons->addWidget(button);
}

void PageListPanel::filter(const QString &text)
{
    // The page being edited stays listed: hidden, it could not be applied, and selecting it
    // again would read it afresh over what was typed.
    const int selected = selectedRow();
    m_filter->setText(text, selected < 0 ? QList<int>() : QList<int> { selected });
}

int PageListPanel::selectedRow() const
{
    const QModelIndexList selected = m_list->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : m_filter->mapToSource(selected.constFirst()).row();
}

void PageListPanel::select(int row)
{
    m_filter->keep(row);
    const QModelIndex index = m_filter->mapFromSource(m_filter->sourceModel()->index(row, 0));
    m_list->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    if (selectedRow() != row)
        return; // the selection was refused
    m_list->setCurrentIndex(index);
    m_list->scrollTo(index);
}
