#include "entrieswindow.h"

#include "fieldform.h"
#include "hoverhelp.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

EntriesWindow::EntriesWindow(UserDialogs &dialogs, const Layout &layout,
                             std::span<const int> columnStarts, const Texts &texts, QWidget *parent)
    : SettingsWindow(dialogs, texts.title, texts.name, texts.hints, parent)
{
    m_form = new FieldForm(layout, columnStarts, help(), check(), this);
    help().addArea(m_form);
    m_navigator = addNavigator(texts.look);
    auto *navigation = new QHBoxLayout;
    navigation->addStretch(1);
    navigation->addWidget(m_navigator);
    navigation->addStretch(1);
    auto *content = new QVBoxLayout;
    content->addWidget(m_form);
    content->addLayout(navigation);
    setContent(content);
}

void EntriesWindow::load(std::vector<Values> &entries)
{
    m_entries = &entries;
    SettingsWindow::load();
}

void EntriesWindow::edit(std::vector<Values> &entries)
{
    m_entries = &entries;
    SettingsWindow::edit();
}

Values &EntriesWindow::shown()
{
    return m_working[size_t(m_navigator->index() - 1)];
}

void EntriesWindow::takeWorkingCopy()
{
    m_working = *m_entries;
    m_navigator->setBound(int(m_working.size()));
}

void EntriesWindow::refill()
{
    m_form->show(shown());
}

bool EntriesWindow::keepShown()
{
    m_form->keep(shown());
    return true;
}

void EntriesWindow::handBack()
{
    *m_entries = m_working;
}
