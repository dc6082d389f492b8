#include "settingswindow.h"

#include "fieldcheck.h"
#include "fieldform.h"
#include "referencetargets.h"
#include "userdialogs.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// The widgets Tab stops at, in the order of the layouts that place them. Every window lays
// out its columns left to right and each column top to bottom, so this is the reading order.
void appendTabStops(const QLayout &layout, QList<QWidget *> &stops)
{
    for (int i = 0; i < layout.count(); ++i) {
        QLayoutItem *item = layout.itemAt(i);
        if (const QLayout *inner = item->layout()) {
            appendTabStops(*inner, stops);
        } else if (QWidget *widget = item->widget()) {
            if (widget->focusPolicy() & Qt::TabFocus)
                stops.append(widget);
            if (const QLayout *own = widget->layout())
                appendTabStops(*own, stops);
        }
    }
}

} // namespace

SettingsWindow::SettingsWindow(UserDialogs &dialogs, const QString &title, const QString &name,
                               const Hints &hints, QWidget *parent)
    : EditorWindow(dialogs, title, name, parent)
{
    m_apply = withHint(new QPushButton(u"&Apply"_s, this), hints.apply);
    m_close = withHint(new QPushButton(hints.closeText, this), hints.close);
    connect(m_apply, &QAbstractButton::clicked, this, &SettingsWindow::apply);
    // As the close box and Escape: the working copy is dropped.
    connect(m_close, &QAbstractButton::clicked, this, &QDialog::reject);
}

void SettingsWindow::setContent(QLayout *content)
{
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_apply);
    buttons->addWidget(m_close);
    auto *window = new QVBoxLayout;
    window->addLayout(content);
    window->addLayout(buttons);
    EditorWindow::setContent(window);
}

Navigator *SettingsWindow::addNavigator(const Navigator::Look &look, QWidget *parent)
{
    auto *navigator = new Navigator(*this, look, parent);
    navigator->setKeep([this] { return keepShown(); });
    navigator->setShow([this] { refill(); });
    m_navigators.append(navigator);
    return navigator;
}

SettingsWindow::Place SettingsWindow::entryOf(const Navigator *navigator, int item)
{
    return [navigator, item](Values &working) -> Values & {
        return working.entries(item)[size_t(navigator->index() - 1)];
    };
}

void SettingsWindow::bind(FieldForm *form, Place place)
{
    m_bindings.append({ form, std::move(place) });
    if (m_references)
        form->setReferences(m_references);
}

void SettingsWindow::setReferences(ReferenceTargets *targets)
{
    m_references = targets;
    for (const Binding &binding : std::as_const(m_bindings))
        binding.form->setReferences(targets);
}

void SettingsWindow::bindEntries(Navigator *navigator, int item, const Layout &entryLayout)
{
    m_entries.append({ navigator, item, &entryLayout });
}

void SettingsWindow::load(Values &values)
{
    m_values = &values;
    m_working = values;
    for (const Entries &entries : std::as_const(m_entries))
        entries.navigator->setBound(int(m_working.entries(entries.item).size()));
    for (Navigator *navigator : std::as_const(m_navigators))
        navigator->reset();
    refill();
}

void SettingsWindow::edit(Values &values)
{
    load(values);
    showModal();
}

void SettingsWindow::refill()
{
    // A count of 0 still shows entry 1, and a raised one blank entries.
    for (const Entries &entries : std::as_const(m_entries)) {
        std::vector<Values> &run = m_working.entries(entries.item);
        const size_t shown = size_t(std::max(entries.navigator->bound(), 1));
        if (run.size() < shown)
            run.resize(shown, blankValues(*entries.entryLayout));
    }
    for (const Binding &binding : std::as_const(m_bindings))
        binding.form->show(binding.place(m_working));
}

bool SettingsWindow::keepShown()
{
    for (const Binding &binding : std::as_const(m_bindings))
        binding.form->keep(binding.place(m_working));
    return true;
}

bool SettingsWindow::apply()
{
    if (!m_values)
        return false;
    for (Navigator *navigator : std::as_const(m_navigators))
        if (navigator->takeCount() == Navigator::Count::Refused)
            return false;
    if (!check().checkFocused() || !keepShown())
        return false;
    if (const std::optional<Refusal> refusal = validate()) {
        dialogs().message(this, u"Error"_s, refusal->message, UserDialogs::Icon::Critical);
        if (refusal->field)
            refusal->field->setFocus(Qt::OtherFocusReason);
        return false;
    }
    handBack();
    emit handedBack();
    return true;
}

void SettingsWindow::handBack()
{
    // The working copy keeps what lies past a lowered count; what is handed back does not.
    Values handed = m_working;
    for (const Entries &entries : std::as_const(m_entries))
        handed.entries(entries.item)
            .resize(size_t(entries.navigator->bound()), blankValues(*entries.entryLayout));
    if (m_handedItems.empty()) {
        *m_values = std::move(handed);
        return;
    }
    for (int item : m_handedItems)
        m_values->items[size_t(item)] = std::move(handed.items[size_t(item)]);
}

void SettingsWindow::showEvent(QShowEvent *event)
{
    EditorWindow::showEvent(event);
    // Made at each showing: a subclass may add fields after this class laid out the window.
    QList<QWidget *> stops;
    appendTabStops(*layout(), stops);
    for (qsizetype i = 1; i < stops.size(); ++i)
        setTabOrder(stops[i - 1], stops[i]);
    for (QWidget *stop : std::as_const(stops)) {
        if (stop->isVisible() && stop->isEnabled()) {
            stop->setFocus(Qt::TabFocusReason);
            break;
        }
    }
}
