#include "entrieswindow.h"

#include "fieldform.h"
#include "hoverhelp.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

EntriesWindow::EntriesWindow(UserDialogs &dialogs, int item, const Layout &layout,
                             std::span<const int> columnStarts, const Texts &texts, QWidget *parent)
    : SettingsWindow(dialogs, texts.title, texts.name, texts.hints, parent)
{
    m_form = new FieldForm(layout, columnStarts, help(), check(), this);
    help().addArea(m_form);
    m_navigator = addNavigator(texts.look);
    bindEntries(m_navigator, item, layout);
    bind(m_form, entryOf(m_navigator, item));
    handBackOnly({ item });
    auto *navigation = new QHBoxLayout;
    navigation->addStretch(1);
    navigation->addWidget(m_navigator);
    navigation->addStretch(1);
    auto *content = new QVBoxLayout;
    content->addWidget(m_form);
    content->addLayout(navigation);
    setContent(content);
}
