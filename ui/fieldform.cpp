#include "fieldform.h"

#include "fieldcheck.h"
#include "hoverhelp.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

FieldForm::FieldForm(std::span<const FieldSpec> fields, std::span<const int> columnStarts,
                     HoverHelp &help, FieldCheck &check, QWidget *parent)
    : QWidget(parent)
    , m_fields(fields)
{
    auto *columns = new QHBoxLayout(this);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(16);
    QFormLayout *column = nullptr;
    for (int i = 0; i < int(fields.size()); ++i) {
        if (!column ||
            std::find(columnStarts.begin(), columnStarts.end(), i) != columnStarts.end()) {
            column = new QFormLayout;
            column->setLabelAlignment(Qt::AlignLeft);
            column->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
            // Rows keep their height when the next column is the taller one.
            auto *top = new QVBoxLayout;
            top->addLayout(column);
            top->addStretch(1);
            columns->addLayout(top, 1);
        }
        const FieldSpec &field = fields[i];
        auto *caption = new QLabel(QString::fromLatin1(field.caption), this);
        if (*field.hint)
            help.addHint(caption, QString::fromLatin1(field.hint));

        QWidget *control;
        if (isBitSet(field.encoding)) {
            auto *list = new QListWidget(this);
            for (const char *item : field.items) {
                auto *entry = new QListWidgetItem(QString::fromLatin1(item), list);
                entry->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
                entry->setCheckState(Qt::Unchecked);
            }
            const int rows = std::min<int>(int(field.items.size()), 10);
            list->setFixedHeight(rows * list->sizeHintForRow(0) + 2 * list->frameWidth());
            // Item views take no name from a buddy label.
            list->setAccessibleName(caption->text());
            control = list;
        } else if (field.encoding == FieldEncoding::Choice) {
            auto *choice = new QComboBox(this);
            for (const char *item : field.items)
                choice->addItem(QString::fromLatin1(item));
            control = choice;
        } else {
            auto *edit = new QLineEdit(this);
            if (field.check)
                check.add(edit, *field.check);
            control = edit;
        }
        caption->setBuddy(control);
        column->addRow(caption, control);
        m_captions.append(caption);
        m_controls.append(control);
    }
}

void FieldForm::setValues(const FieldValues &values)
{
    Q_ASSERT(values.size() == qsizetype(m_fields.size()));
    for (int i = 0; i < int(m_fields.size()); ++i) {
        const FieldValue &value = values[i];
        if (auto *list = checkList(i)) {
            const quint32 bits = std::get<quint32>(value);
            // Showing a page is not a change made by the user.
            const QSignalBlocker quiet(list);
            for (int item = 0; item < list->count(); ++item)
                list->item(item)->setCheckState(bits & (1u << item) ? Qt::Checked : Qt::Unchecked);
        } else if (auto *box = choice(i)) {
            // A byte with no item selects nothing.
            const quint32 index = std::get<quint32>(value);
            box->setCurrentIndex(index < quint32(box->count()) ? int(index) : -1);
        } else if (m_fields[i].encoding == FieldEncoding::String) {
            edit(i)->setText(QString::fromLatin1(std::get<QByteArray>(value)));
        } else {
            edit(i)->setText(std::get<QString>(value));
        }
        if (auto *line = edit(i))
            line->setCursorPosition(0);
    }
}

FieldValues FieldForm::values() const
{
    FieldValues values;
    values.reserve(m_fields.size());
    for (int i = 0; i < int(m_fields.size()); ++i) {
        if (const auto *list = checkList(i)) {
            quint32 bits = 0;
            for (int item = 0; item < list->count(); ++item)
                if (list->item(item)->checkState() == Qt::Checked)
                    bits |= 1u << item;
            values.append(bits);
        } else if (const auto *box = choice(i)) {
            // No selection is -1, whose low byte is written.
            values.append(quint32(quint8(box->currentIndex())));
        } else if (m_fields[i].encoding == FieldEncoding::String) {
            values.append(edit(i)->text().toLatin1());
        } else {
            values.append(edit(i)->text());
        }
    }
    return values;
}

QLineEdit *FieldForm::edit(int field) const
{
    return qobject_cast<QLineEdit *>(m_controls.value(field));
}

QListWidget *FieldForm::checkList(int field) const
{
    return qobject_cast<QListWidget *>(m_controls.value(field));
}

QComboBox *FieldForm::choice(int field) const
{
    return qobject_cast<QComboBox *>(m_controls.value(field));
}

QLabel *FieldForm::caption(int field) const
{
    return m_captions.value(field);
}
