#include "settingswindow.h"

#include "fieldcheck.h"
#include "userdialogs.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

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
    return navigator;
}

void SettingsWindow::load()
{
    takeWorkingCopy();
    m_loaded = true;
    for (Navigator *navigator : findChildren<Navigator *>())
        navigator->reset();
    refill();
}

void SettingsWindow::edit()
{
    load();
    showModal();
}

bool SettingsWindow::apply()
{
    if (!m_loaded || !check().checkFocused() || !keepShown())
        return false;
    if (const std::optional<Refusal> refusal = validate()) {
        dialogs().message(this, u"Error"_s, refusal->message, UserDialogs::Icon::Critical);
        if (refusal->field)
            refusal->field->setFocus(Qt::OtherFocusReason);
        return false;
    }
    handBack();
    return true;
}
