#include "columnchooser.h"

#include "editorstyle.h"
#include "namematch.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

ColumnChooser::ColumnChooser(const QList<PageColumns::Column> &columns, const QStringList &shown,
                             QWidget *parent)
    : QDialog(parent)
    , m_columns(columns)
{
    setWindowTitle(u"Columns"_s);
    setObjectName(u"columns"_s);
    applyEditorStyle(this);

    auto *caption = new QLabel(u"Co&lumns shown"_s, this);
    m_filter = new QLineEdit(this);
    m_filter->setPlaceholderText(u"Filter"_s);
    m_filter->setAccessibleName(u"Filter"_s);
    m_filter->setClearButtonEnabled(true);
    m_filter->setToolTip(u"Type part of a column's caption or key to list only those columns."_s);
    connect(m_filter, &QLineEdit::textChanged, this, &ColumnChooser::filter);

    m_list = new QTreeWidget(this);
    m_list->setHeaderLabels({ u"Column"_s, u"Key"_s });
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAccessibleName(u"Columns shown"_s);
    caption->setBuddy(m_list);
    const QSet<QString> checked(shown.begin(), shown.end());
    QList<QTreeWidgetItem *> items;
    items.reserve(columns.size());
    for (const PageColumns::Column &column : columns) {
        auto *item = new QTreeWidgetItem({ column.captions, column.key });
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(0, checked.contains(column.key) ? Qt::Checked : Qt::Unchecked);
        item->setToolTip(0, column.captions);
        item->setToolTip(1, column.key);
        items.append(item);
    }
    m_list->addTopLevelItems(items);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setStretchLastSection(false);
    m_list->resizeColumnToContents(1);

    auto *defaults = new QPushButton(u"&Defaults"_s, this);
    defaults->setToolTip(u"Check the columns of fields that are not in a list, uncheck the "
                         "others (of those listed)."_s);
    connect(defaults, &QPushButton::clicked, this,
            [this] { check([this](int column) { return !m_columns[column].repeated; }); });
    auto *all = new QPushButton(u"&All"_s, this);
    all->setToolTip(u"Check every column listed."_s);
    connect(all, &QPushButton::clicked, this, [this] { check([](int) { return true; }); });
    auto *none = new QPushButton(u"&None"_s, this);
    none->setObjectName(u"none"_s);
    none->setToolTip(u"Uncheck every column listed."_s);
    connect(none, &QPushButton::clicked, this, [this] { check([](int) { return false; }); });
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *row = new QHBoxLayout;
    row->addWidget(defaults);
    row->addWidget(all);
    row->addWidget(none);
    row->addStretch(1);
    row->addWidget(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(m_filter);
    layout->addWidget(m_list, 1);
    layout->addLayout(row);
    resize(640, 520);
}

void ColumnChooser::filter(const QString &text)
{
    const NameMatch match(text);
    for (int row = 0; row < m_list->topLevelItemCount(); ++row)
        m_list->topLevelItem(row)->setHidden(!match.matches(m_columns[row].captions) &&
                                             !match.matches(m_columns[row].key));
}

void ColumnChooser::check(const std::function<bool(int column)> &which)
{
    for (int row = 0; row < m_list->topLevelItemCount(); ++row)
        if (QTreeWidgetItem *item = m_list->topLevelItem(row); !item->isHidden())
            item->setCheckState(0, which(row) ? Qt::Checked : Qt::Unchecked);
}

QStringList ColumnChooser::chosen() const
{
    QStringList keys;
    for (int row = 0; row < m_list->topLevelItemCount(); ++row)
        if (m_list->topLevelItem(row)->checkState(0) == Qt::Checked)
            keys.append(m_columns[row].key);
    return keys;
}
