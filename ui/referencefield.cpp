#include "referencefield.h"

#include "hoverhelp.h"
#include "namematch.h"
#include "pagetext.h"
#include "references.h"
#include "referencetargets.h"
#include "tableerror.h"

#include <QAbstractItemView>
#include <QAbstractListModel>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>

using namespace Qt::StringLiterals;

// The names the field offers: those of the target pages that match what was typed, in list
// order. The names are folded when first needed after the table changed, not at each keystroke.
class ReferenceField::Choices : public QAbstractListModel
{
public:
    Choices(QAbstractItemModel &names, QObject *parent)
        : QAbstractListModel(parent)
        , m_names(&names)
    {
        const auto follow = [this] {
            m_folded.clear();
            refilter();
        };
        connect(&names, &QAbstractItemModel::rowsInserted, this, follow);
        connect(&names, &QAbstractItemModel::rowsRemoved, this, follow);
        connect(&names, &QAbstractItemModel::rowsMoved, this, follow);
        connect(&names, &QAbstractItemModel::dataChanged, this, follow);
        connect(&names, &QAbstractItemModel::layoutChanged, this, follow);
        connect(&names, &QAbstractItemModel::modelReset, this, follow);
        connect(&names, &QObject::destroyed, this, follow);
        refilter();
    }

    void setText(const QString &text)
    {
        m_match = NameMatch(text);
        refilter();
    }

    // The row of the name the text is, ignoring case, or else of the first name that begins
    // with it; -1 when none does.
    int bestRow(const QString &text)
    {
        if (text.isEmpty())
            return -1;
        foldNames();
        const QString folded = NameMatch::fold(text);
        int begins = -1;
        for (int row = 0; row < m_rows.size(); ++row) {
            const QString &name = m_folded[m_rows[row]];
            if (name == folded)
                return row;
            if (begins < 0 && name.startsWith(folded))
                begins = row;
        }
        return begins;
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!m_names || !checkIndex(index, CheckIndexOption::IndexIsValid) ||
            (role != Qt::DisplayRole && role != Qt::EditRole))
            return {};
        return m_names->index(m_rows[index.row()], 0).data(Qt::DisplayRole);
    }

private:
    void foldNames()
    {
        const int count = m_names ? m_names->rowCount() : 0;
        if (m_folded.size() == count)
            return;
        m_folded.clear();
        m_folded.reserve(count);
        for (int row = 0; row < count; ++row)
            m_folded.append(NameMatch::fold(m_names->index(row, 0).data().toString()));
    }

    void refilter()
    {
        beginResetModel();
        m_rows.clear();
        const int count = m_names ? m_names->rowCount() : 0;
        if (m_match.isEmpty()) {
            for (int row = 0; row < count; ++row)
                m_rows.append(row);
        } else {
            foldNames();
            for (int row = 0; row < count; ++row)
                if (m_match.matchesFolded(m_folded[row]))
                    m_rows.append(row);
        }
        endResetModel();
    }

    QPointer<QAbstractItemModel> m_names;
    NameMatch m_match;
    QStringList m_folded; // by row of the names
    QList<int> m_rows; // of the names, ascending
};

ReferenceField::ReferenceField(QLineEdit &field, QToolButton &pickButton, KindSet kinds,
                               ReferenceTargets &targets, HoverHelp &help)
    : QObject(&field)
    , m_field(field)
    , m_kinds(kinds)
    , m_targets(targets)
    , m_help(help)
    , m_choices(new Choices(targets.names(kinds), this))
    , m_completer(new QCompleter(m_choices, this))
{
    // Filtered by the names model, with the page lists' rule; the completer only shows them.
    m_completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_completer->setCompletionRole(Qt::DisplayRole);
    m_completer->setMaxVisibleItems(12);
    if (auto *list = qobject_cast<QListView *>(m_completer->popup()))
        list->setUniformItemSizes(true); // else every name listed is measured at each key
    // Not the field's own completer, which would set the text on a pick and so end the
    // field's undo history: a pick is typed, to be undone as typing is.
    m_completer->setWidget(&field);
    connect(m_completer, qOverload<const QModelIndex &>(&QCompleter::activated), this,
            [this](const QModelIndex &index) { pick(index.data().toString()); });
    connect(&field, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (!m_picking)
            typed(text);
    });
    connect(&pickButton, &QAbstractButton::clicked, this, [this] {
        // Leaving another field runs its check, which may keep the focus there.
        m_field.setFocus(Qt::OtherFocusReason);
        if (m_field.hasFocus())
            listAll();
    });
    field.installEventFilter(this);
}

QString ReferenceField::problem() const
{
    const QString text = m_field.text();
    if (text.isEmpty())
        return {};
    try {
        if (m_targets.isNamed(m_kinds, bytesFromText(text)))
            return {};
    } catch (const TableError &) {
        // A character no page name can hold.
    }
    return noPageNamed(m_kinds, text);
}

void ReferenceField::listAll()
{
    m_choices->setText({});
    popUp();
}

void ReferenceField::goTo()
{
    if (m_field.text().isEmpty())
        return;
    // Not a tool tip: releasing Enter would hide it at once.
    if (const QString problem = this->problem(); !problem.isEmpty()) {
        m_help.say(problem);
        return;
    }
    m_targets.goTo(m_kinds, bytesFromText(m_field.text()), *m_field.window());
}

bool ReferenceField::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if ((key->key() == Qt::Key_Down && modifiers == Qt::AltModifier) ||
            (key->key() == Qt::Key_F4 && modifiers == Qt::NoModifier)) {
            listAll();
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            modifiers == Qt::ControlModifier) {
            goTo();
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonPress) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && mouse->modifiers() == Qt::ControlModifier) {
            goTo();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void ReferenceField::typed(const QString &text)
{
    if (text.isEmpty()) {
        m_completer->popup()->hide();
        return;
    }
    m_choices->setText(text);
    popUp();
}

void ReferenceField::popUp()
{
    QAbstractItemView *popup = m_completer->popup();
    if (m_choices->rowCount() == 0 || !m_field.hasFocus()) {
        popup->hide();
        return;
    }
    // Wide enough for most names, whatever the field's width.
    const int width = std::max(m_field.width(),
                               popup->fontMetrics().averageCharWidth() * 28 +
                                   popup->verticalScrollBar()->sizeHint().width() +
                                   2 * popup->style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
    m_completer->complete(QRect(0, 0, width, m_field.height()));
    // The name the field holds, or else the first that begins with it, is the one Enter picks;
    // with none such, Enter keeps what was typed.
    if (const int row = m_choices->bestRow(m_field.text()); row >= 0)
        popup->setCurrentIndex(m_completer->completionModel()->index(row, 0));
    else
        popup->selectionModel()->clear();
}

void ReferenceField::pick(const QString &name)
{
    if (name == m_field.text())
        return;
    const QScopedValueRollback picking(m_picking, true);
    m_field.selectAll();
    m_field.insert(name);
}
