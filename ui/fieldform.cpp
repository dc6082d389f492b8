#include "fieldform.h"

#include "fieldcheck.h"
#include "hoverhelp.h"
#include "pagetext.h"
#include "referencefield.h"
#include "references.h"
#include "referencetargets.h"

#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

std::optional<QString> checkText(const QString &text)
{
    if (const std::optional<char32_t> character = unstorableCharacter(text))
        return unstorableMessage(*character);
    return std::nullopt;
}

} // namespace

FieldForm::FieldForm(const Layout &layout, std::span<const int> columnStarts, HoverHelp &help,
                     FieldCheck &check, QWidget *parent, int first, int end)
    : QWidget(parent)
    , m_layout(layout)
    , m_help(help)
    , m_first(first)
    , m_end(end < 0 ? layout.size() : end)
{
    auto *columns = new QHBoxLayout(this);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(16);
    QFormLayout *column = nullptr;
    for (int i = m_first; i < m_end; ++i) {
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
        m_captions.append(nullptr);
        m_controls.append(nullptr);
        if (layout[i].sort != Item::Sort::Field)
            continue;
        const FieldSpec &field = layout[i].field;
        auto *caption = new QLabel(QString::fromLatin1(field.caption), this);
        if (*field.hint)
            help.addHint(caption, QString::fromLatin1(field.hint));

        QWidget *control;
        if (isBitSet(field.encoding)) {
            auto *list = new QListWidget(this);
            const Qt::ItemFlags flags =
                field.unknown ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsUserCheckable;
            for (const char *item : field.items) {
                auto *entry = new QListWidgetItem(QString::fromLatin1(item), list);
                entry->setFlags(flags);
                entry->setCheckState(Qt::Unchecked);
            }
            const int rows = std::min<int>(int(field.items.size()), 10);
            list->setFixedHeight(rows * list->sizeHintForRow(0) + 2 * list->frameWidth());
            // The longest item shows whole, beside the scroll bar.
            list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() +
                                  list->verticalScrollBar()->sizeHint().width());
            list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            // Item views take no name from a buddy label.
            list->setAccessibleName(caption->text());
            connect(list, &QListWidget::itemChanged, this, &FieldForm::changed);
            control = list;
        } else if (field.itemsBy) {
            auto *place = new QHBoxLayout;
            place->setContentsMargins(0, 0, 0, 0);
            control = alternatives(i, field, caption, place);
            column->addRow(caption, place);
            m_captions.back() = caption;
            m_controls.back() = control;
            continue;
        } else if (field.encoding == FieldEncoding::Choice) {
            auto *choice = new QComboBox(this);
            for (const ChoiceItem &item : field.choices)
                choice->addItem(QString::fromLatin1(item.name));
            connect(choice, &QComboBox::currentIndexChanged, this, &FieldForm::changed);
            control = choice;
        } else {
            auto *edit = new QLineEdit(this);
            if (field.check)
                check.add(edit, [&field](const QString &text) { return checkField(field, text); });
            else if (field.encoding == FieldEncoding::String)
                check.add(edit, checkText);
            connect(edit, &QLineEdit::textChanged, this, &FieldForm::changed);
            connect(edit, &QLineEdit::textChanged, this, [this, i] { updateMark(i); });
            control = edit;
        }
        caption->setBuddy(control);
        if (field.unknown)
            column->addRow(caption, withStoredValue(i, control));
        else if (!field.refersTo.isEmpty())
            column->addRow(caption, withPickButton(i, control));
        else
            column->addRow(caption, control);
        m_captions.back() = caption;
        m_controls.back() = control;
    }
}

QWidget *FieldForm::alternatives(int item, const FieldSpec &field, QLabel *caption,
                                 QHBoxLayout *place)
{
    // One drop-down per list, in one place; the choice that picks the list shows one. They
    // are the caption's siblings and the shown one its buddy, so that screen readers and the
    // mnemonic find it.
    QList<QComboBox *> &boxes = m_alternatives[item];
    for (std::span<const ChoiceItem> list : field.itemsBy->lists) {
        auto *box = new QComboBox(this);
        for (const ChoiceItem &entry : list)
            box->addItem(QString::fromLatin1(entry.name));
        connect(box, &QComboBox::currentIndexChanged, this, &FieldForm::changed);
        place->addWidget(box);
        boxes.append(box);
    }
    const auto turnTo = [boxes, caption](int index) {
        for (int i = 0; i < boxes.size(); ++i)
            boxes[i]->setHidden(i != index);
        caption->setBuddy(boxes[index]);
    };
    turnTo(0);
    QComboBox *picker = choice(field.itemsBy->item);
    Q_ASSERT(picker); // an earlier field of the same form
    connect(picker, &QComboBox::currentIndexChanged, this, [boxes, turnTo](int index) {
        if (index >= 0 && index < boxes.size())
            turnTo(index);
    });
    return boxes.constFirst();
}

QHBoxLayout *FieldForm::withStoredValue(int item, QWidget *control)
{
    // Read-only and beside the list, so that what no item can show is still seen. A layout, not
    // a widget, keeps the list beside its caption, where screen readers look for its label.
    auto *place = new QHBoxLayout;
    place->setContentsMargins(0, 0, 0, 0);
    place->addWidget(control);
    auto *label = new QLabel(this);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    place->addWidget(label, 1, Qt::AlignTop);
    m_stored.insert(item, label);
    return place;
}

QHBoxLayout *FieldForm::withPickButton(int item, QWidget *control)
{
    // Out of the Tab chain: in the field, Alt+Down and F4 do what it does.
    auto *button = new QToolButton(this);
    button->setArrowType(Qt::DownArrow);
    button->setFocusPolicy(Qt::NoFocus);
    // No taller than the field, so that rows keep their height, and narrow, for the windows
    // that barely fit a small screen.
    button->setFixedSize(control->sizeHint().height() * 3 / 4, control->sizeHint().height());
    const QString kinds = kindNames(m_layout[item].field.refersTo);
    button->setAccessibleName(u"Pick a %1 page"_s.arg(kinds));
    m_help.addHint(button,
                   u"Lists the %1 pages to pick one. In the field, Alt+Down or F4 lists them, "
                   u"and Ctrl+Enter or Ctrl+click opens the page it names."_s.arg(kinds));
    button->hide(); // until there are pages to pick from
    m_pickButtons.insert(item, button);
    auto *place = new QHBoxLayout;
    place->setContentsMargins(0, 0, 0, 0);
    place->setSpacing(2);
    place->addWidget(control);
    place->addWidget(button);
    return place;
}

void FieldForm::setReferences(ReferenceTargets *targets)
{
    if (m_targets)
        disconnect(m_targets, nullptr, this, nullptr);
    qDeleteAll(m_references);
    m_references.clear();
    m_targets = targets;
    for (const auto [item, button] : m_pickButtons.asKeyValueRange()) {
        if (targets)
            m_references.insert(item,
                                new ReferenceField(*edit(item), *button,
                                                   m_layout[item].field.refersTo, *targets,
                                                   m_help));
        button->setVisible(targets);
        updateMark(item);
    }
    if (!targets)
        return;
    connect(targets, &ReferenceTargets::changed, this, [this] {
        for (const int item : m_references.keys())
            updateMark(item);
    });
    connect(targets, &QObject::destroyed, this, [this] { setReferences(nullptr); });
}

void FieldForm::showStored(int item, quint32 value)
{
    QLabel *label = m_stored.value(item);
    const bool choice = m_layout[item].field.encoding == FieldEncoding::Choice;
    label->setText(choice ? u"stored: %1"_s.arg(value) : u"stored: 0x%1"_s.arg(value, 0, 16));
    control(item)->setAccessibleDescription(label->text());
}

void FieldForm::updateMark(int item)
{
    QLineEdit *field = edit(item);
    const Shown shown = m_shown.value(item);
    QString note;
    if (m_layout[item].field.encoding == FieldEncoding::String) {
        if (field->text().size() > kShownTextLength)
            note = u"Longer than the %1 characters the game's lists show: kept whole."_s.arg(
                kShownTextLength);
    } else if (!shown.exact.isEmpty() && field->text() == shown.text) {
        note = u"stored: %1"_s.arg(shown.exact);
    }
    QString problem = m_marks.value(item).problem;
    if (m_pickButtons.contains(item)) {
        const ReferenceField *reference = m_references.value(item);
        problem = reference ? reference->problem() : QString();
    }
    showMark(item, note, problem);
}

void FieldForm::showMark(int item, const QString &note, const QString &problem)
{
    const Mark was = m_marks.value(item);
    if (note == was.note && problem == was.problem)
        return;
    QLineEdit *field = edit(item);
    QStringList said;
    for (const QString &line : { problem, note })
        if (!line.isEmpty())
            said.append(line);
    QStringList hover = said;
    if (*m_layout[item].field.hint)
        hover.prepend(QString::fromLatin1(m_layout[item].field.hint));
    m_help.addHint(caption(item), hover.join(u'\n'));
    field->setAccessibleDescription(said.join(u'\n'));
    if (const bool wrong = !problem.isEmpty(); field->property("problem").toBool() != wrong) {
        // The style sheet colours the field by the property.
        field->setProperty("problem", wrong);
        field->style()->unpolish(field);
        field->style()->polish(field);
    }
    if (said.isEmpty()) {
        delete was.sign;
        m_marks.remove(item);
        return;
    }
    Mark &mark = m_marks[item];
    mark.note = note;
    mark.problem = problem;
    if (!mark.sign)
        mark.sign = field->addAction(QIcon(), QLineEdit::TrailingPosition);
    mark.sign->setIcon(style()->standardIcon(problem.isEmpty() ? QStyle::SP_MessageBoxInformation
                                                               : QStyle::SP_MessageBoxWarning));
    mark.sign->setToolTip(said.join(u'\n'));
    mark.sign->setText(mark.sign->toolTip());
}

QString FieldForm::note(int item) const
{
    return m_marks.value(item).note;
}

QString FieldForm::problem(int item) const
{
    return m_marks.value(item).problem;
}

void FieldForm::setProblem(int item, const QString &problem)
{
    if (edit(item))
        showMark(item, note(item), problem);
}

QToolButton *FieldForm::pickButton(int item) const
{
    return m_pickButtons.value(item);
}

QLabel *FieldForm::stored(int item) const
{
    return m_stored.value(item);
}

void FieldForm::alignCaptions(const QList<FieldForm *> &forms)
{
    int width = 0;
    for (const FieldForm *form : forms)
        for (const QLabel *caption : form->m_captions)
            if (caption)
                width = std::max(width, caption->sizeHint().width());
    for (const FieldForm *form : forms)
        for (QLabel *caption : form->m_captions)
            if (caption)
                caption->setMinimumWidth(width);
}

QWidget *FieldForm::control(int item) const
{
    return item >= m_first && item < m_end ? m_controls[item - m_first] : nullptr;
}

void FieldForm::changed()
{
    if (!m_showing)
        emit edited();
}

void FieldForm::show(const Values &values)
{
    const QScopedValueRollback showing(m_showing, true);
    for (int i = m_first; i < m_end; ++i) {
        if (!control(i))
            continue;
        const FieldValue &value = values.field(i);
        if (auto *list = checkList(i)) {
            const quint32 bits = m_layout[i].field.unknown ? ~0u : maskOf(value);
            if (m_layout[i].field.unknown)
                showStored(i, maskOf(value));
            // Showing a page is not a change made by the user.
            const QSignalBlocker quiet(list);
            for (int item = 0; item < list->count(); ++item)
                list->item(item)->setCheckState(bits & (1u << item) ? Qt::Checked : Qt::Unchecked);
        } else if (m_alternatives.contains(i)) {
            // Each list shows the code, so the one a new pick turns up shows what is kept.
            const quint32 code = maskOf(value);
            const auto &lists = m_layout[i].field.itemsBy->lists;
            for (qsizetype list = 0; list < m_alternatives[i].size(); ++list)
                m_alternatives[i][list]->setCurrentIndex(choiceIndex(lists[size_t(list)], code));
        } else if (auto *box = choice(i)) {
            const FieldSpec &field = m_layout[i].field;
            box->setCurrentIndex(field.unknown ? 0 : choiceIndex(field.choices, maskOf(value)));
            if (field.unknown)
                showStored(i, maskOf(value));
        } else {
            const bool text = m_layout[i].field.encoding == FieldEncoding::String;
            if (text)
                m_shown[i] = { textFromBytes(textOf(value)), {} };
            else
                m_shown[i] = { numberText(value), std::get<NumberValue>(value).exactText() };
            edit(i)->setText(m_shown[i].text);
            edit(i)->setCursorPosition(0);
        }
    }
}

void FieldForm::clear()
{
    const QScopedValueRollback showing(m_showing, true);
    for (int i = m_first; i < m_end; ++i) {
        if (auto *list = checkList(i)) {
            const QSignalBlocker quiet(list);
            for (int item = 0; item < list->count(); ++item)
                list->item(item)->setCheckState(Qt::Unchecked);
        } else if (m_alternatives.contains(i)) {
            for (QComboBox *box : std::as_const(m_alternatives[i]))
                box->setCurrentIndex(-1);
        } else if (auto *box = choice(i)) {
            box->setCurrentIndex(-1);
        } else if (auto *field = edit(i)) {
            m_shown.remove(i);
            field->clear();
        }
        if (QLabel *label = stored(i)) {
            label->clear();
            control(i)->setAccessibleDescription({});
        }
    }
}

void FieldForm::endTyping()
{
    const QScopedValueRollback showing(m_showing, true);
    for (int i = m_first; i < m_end; ++i) {
        if (QLineEdit *field = edit(i); field && (field->isUndoAvailable() || field->isRedoAvailable())) {
            // Setting the text is what ends a line edit's history.
            const int cursor = field->cursorPosition();
            field->setText(field->text());
            field->setCursorPosition(cursor);
        }
    }
}

void FieldForm::keep(Values &values) const
{
    for (int i = m_first; i < m_end; ++i) {
        if (!control(i))
            continue;
        const FieldSpec &field = m_layout[i].field;
        if (field.unknown)
            continue;
        FieldValue &value = values.field(i);
        if (const auto *list = checkList(i)) {
            quint32 bits = maskOf(value) & ~itemMask(field);
            for (int item = 0; item < list->count(); ++item)
                if (list->item(item)->checkState() == Qt::Checked)
                    bits |= 1u << item;
            value = bits;
        } else if (const auto *box = choice(i)) {
            // The shown list's items, when an earlier choice picks the list.
            const std::span<const ChoiceItem> choices = field.itemsBy
                ? field.itemsBy->lists[size_t(m_alternatives[i].indexOf(box))]
                : field.choices;
            if (box->currentIndex() >= 0)
                value = quint32(choices[size_t(box->currentIndex())].code);
        } else if (field.encoding == FieldEncoding::String) {
            // Compared as shown, so that bytes no key can type come back as they were.
            const QString text = edit(i)->text();
            if (text != textFromBytes(textOf(value)))
                value = bytesFromText(text);
        } else {
            std::get<NumberValue>(value).setText(edit(i)->text());
        }
    }
}

QLineEdit *FieldForm::edit(int item) const
{
    return qobject_cast<QLineEdit *>(control(item));
}

QListWidget *FieldForm::checkList(int item) const
{
    return qobject_cast<QListWidget *>(control(item));
}

QComboBox *FieldForm::choice(int item) const
{
    if (const auto found = m_alternatives.constFind(item); found != m_alternatives.cend()) {
        for (QComboBox *box : *found)
            if (!box->isHidden())
                return box;
    }
    return qobject_cast<QComboBox *>(control(item));
}

QLabel *FieldForm::caption(int item) const
{
    return item >= m_first && item < m_end ? m_captions[item - m_first] : nullptr;
}

void FieldForm::setRowSpacing(int spacing)
{
    for (QFormLayout *column : findChildren<QFormLayout *>())
        column->setVerticalSpacing(spacing);
}

void FieldForm::narrowLists()
{
    for (QListWidget *list : findChildren<QListWidget *>())
        list->setMaximumWidth(list->minimumWidth());
}
