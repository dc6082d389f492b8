#include "celldelegate.h"

#include "pagetable.h"
#include "referencefield.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSortFilterProxyModel>
#include <QStyle>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// A line that names pages: the pick button sits inside it, so that the line is the editor
// and the view's keys (Enter, Tab, Escape) reach it as they reach any other.
class ReferenceLine : public QLineEdit
{
public:
    ReferenceLine(KindSet kinds, ReferenceTargets &targets, HoverHelp &help, QWidget *parent)
        : QLineEdit(parent)
        , m_pick(new QToolButton(this))
    {
        m_pick->setArrowType(Qt::DownArrow);
        m_pick->setFocusPolicy(Qt::NoFocus);
        m_pick->setCursor(Qt::ArrowCursor);
        m_pick->setToolTip(u"List the names (Alt+Down)"_s);
        new ReferenceField(*this, *m_pick, kinds, targets, help);
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QLineEdit::resizeEvent(event);
        const int side = height();
        m_pick->setGeometry(width() - side, 0, side, side);
        setTextMargins(0, 0, side, 0);
    }

private:
    QToolButton *m_pick;
};

} // namespace

quint32 CellDelegate::maskOf(const QModelIndex &index) const
{
    const QModelIndex at = m_rows.mapToSource(index);
    const PageColumns::Cell cell = m_table.cell(at.row(), at.column());
    return cell.value ? ::maskOf(*cell.value) : 0;
}

CellDelegate::CellDelegate(const QSortFilterProxyModel &rows, const PageTableModel &table,
                           ReferenceTargets &targets, HoverHelp &help, Commit commit,
                           QObject *parent)
    : QStyledItemDelegate(parent)
    , m_rows(rows)
    , m_table(table)
    , m_targets(targets)
    , m_help(help)
    , m_commit(std::move(commit))
{ }

void CellDelegate::keepTyping(const QModelIndex &index, const QString &text)
{
    m_keptAt = index;
    m_kept = text;
}

QWidget *CellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                    const QModelIndex &index) const
{
    const QModelIndex at = m_rows.mapToSource(index);
    const PageColumns::Column &column = m_table.columns()[at.column()];
    const FieldSpec &field = *column.field;
    if (field.encoding == FieldEncoding::Choice) {
        auto *box = new QComboBox(parent);
        for (const ChoiceItem &item : choicesOf(field, m_table.cell(at.row(), at.column()).entry))
            box->addItem(QString::fromLatin1(item.name));
        return box;
    }
    if (isBitSet(field.encoding)) {
        auto *list = new QListWidget(parent);
        for (const char *name : field.items) {
            // An item without a name is a bit nobody uses: the check list has no row for it.
            auto *item = new QListWidgetItem(QString::fromLatin1(name));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
            item->setHidden(!*name);
            list->addItem(item);
        }
        list->setAccessibleName(column.caption);
        return list;
    }
    QLineEdit *line = field.refersTo.isEmpty()
        ? new QLineEdit(parent)
        : new ReferenceLine(field.refersTo, m_targets, m_help, parent);
    line->setAccessibleName(column.caption);
    return line;
}

void CellDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    QString text = index.data(Qt::EditRole).toString();
    if (m_keptAt.isValid() && m_keptAt == index) {
        text = m_kept;
        m_keptAt = QPersistentModelIndex();
    }
    if (auto *box = qobject_cast<QComboBox *>(editor)) {
        // A stored code no item has is offered as it is shown, so that it can stay.
        if (box->findText(text) < 0)
            box->insertItem(0, text);
        box->setCurrentIndex(box->findText(text));
    } else if (auto *list = qobject_cast<QListWidget *>(editor)) {
        const quint32 mask = maskOf(index);
        for (int row = 0; row < list->count(); ++row)
            list->item(row)->setCheckState(row < 32 && (mask & (1u << row)) ? Qt::Checked
                                                                            : Qt::Unchecked);
        list->setCurrentRow(0);
    } else if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        line->setText(text);
        line->selectAll();
    }
}

void CellDelegate::setModelData(QWidget *editor, QAbstractItemModel *,
                                const QModelIndex &index) const
{
    QString text;
    if (const auto *box = qobject_cast<QComboBox *>(editor)) {
        text = box->currentText();
    } else if (const auto *list = qobject_cast<QListWidget *>(editor)) {
        QStringList names;
        quint32 listed = 0;
        for (int row = 0; row < list->count() && row < 32; ++row) {
            const QListWidgetItem &item = *list->item(row);
            if (item.isHidden())
                continue;
            listed |= 1u << row;
            if (item.checkState() == Qt::Checked)
                names.append(item.text());
        }
        // Bits the list has no row for stay as they were.
        if (const quint32 other = maskOf(index) & ~listed)
            names.append(u"0x%1"_s.arg(other, 0, 16));
        text = names.join(u'|');
    } else if (const auto *line = qobject_cast<QLineEdit *>(editor)) {
        text = line->text();
    }
    m_commit(index, text);
}

void CellDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const
{
    auto *list = qobject_cast<QListWidget *>(editor);
    if (!list) {
        QStyledItemDelegate::updateEditorGeometry(editor, option, index);
        return;
    }
    // The whole check list below the cell, as far as the view has room.
    int rows = 0;
    for (int row = 0; row < list->count(); ++row)
        rows += list->item(row)->isHidden() ? 0 : 1;
    const QWidget &area = *editor->parentWidget();
    const int rowHeight =
        list->sizeHintForRow(0) > 0 ? list->sizeHintForRow(0) : option.rect.height();
    const int height = std::min(rows * rowHeight + 2 * list->frameWidth() + 2, area.height());
    const int width = std::max(option.rect.width(), list->sizeHintForColumn(0) + 32);
    QRect rect(option.rect.topLeft(), QSize(width, height));
    rect.moveBottom(std::min(rect.bottom(), area.height() - 1));
    rect.moveTop(std::max(rect.top(), 0));
    rect.moveRight(std::min(rect.right(), area.width() - 1));
    editor->setGeometry(rect);
}
