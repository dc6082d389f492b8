#include "blockwindow.h"

#include "fieldform.h"
#include "hoverhelp.h"

#include <QVBoxLayout>

BlockWindow::BlockWindow(UserDialogs &dialogs, const Layout &layout,
                         std::span<const int> columnStarts, const Texts &texts, QWidget *parent)
    : SettingsWindow(dialogs, texts.title, texts.name, texts.hints, parent)
{
    m_form = new FieldForm(layout, columnStarts, help(), check(), this);
    help().addArea(m_form);
    bind(m_form, whole);
    auto *content = new QVBoxLayout;
    content->addWidget(m_form);
    setContent(content);
}
