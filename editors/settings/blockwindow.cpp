#include "blockwindow.h"

#include "fieldform.h"
#include "hoverhelp.h"

#include <QVBoxLayout>

BlockWindow::BlockWindow(UserDialogs &dialogs, const Layout &layout,
                         std::span<const int> columnStarts, const Texts &texts, QWidget *parent)
    : BlockWindow(dialogs, texts, parent)
{
    m_form = new FieldForm(layout, columnStarts, help(), check(), this);
    help().addArea(m_form);
    auto *content = new QVBoxLayout;
    content->addWidget(m_form);
    setContent(content);
}

BlockWindow::BlockWindow(UserDialogs &dialogs, const Texts &texts, QWidget *parent)
    : SettingsWindow(dialogs, texts.title, texts.name, texts.hints, parent)
{ }

void BlockWindow::load(Values &block)
{
    m_block = &block;
    SettingsWindow::load();
}

void BlockWindow::edit(Values &block)
{
    m_block = &block;
    SettingsWindow::edit();
}

void BlockWindow::takeWorkingCopy()
{
    m_working = *m_block;
}

void BlockWindow::refill()
{
    m_form->show(m_working);
}

bool BlockWindow::keepShown()
{
    m_form->keep(m_working);
    return true;
}

void BlockWindow::handBack()
{
    *m_block = m_working;
}
