#include "genericdialogs.h"

#include "fieldcheck.h"
#include "fieldform.h"
#include "genericpage.h"
#include "hoverhelp.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
namespace Ai = GenericPage::AiBlock;
namespace Deaths = GenericPage::DeathTypes;

namespace {
constexpr std::array kOneColumn = { 0 };
// Flags, class, type and movement with the first four values; then the AI values in two.
constexpr std::array kAiColumns = { int(Ai::AiFlags), int(Ai::FirstValue),
                                    int(Ai::FirstValue) + 14 };
} // namespace

AiWindow::AiWindow(UserDialogs &dialogs, QWidget *parent)
    : BlockWindow(dialogs, Ai::layout, kAiColumns,
                  { u"AI"_s, u"ai"_s, { u"Apply modifications to AI."_s, u"Close the AI dialog."_s } },
                  parent)
{
    // Thirty-one numbers in three columns: as wide as a number needs, so that the window fits
    // a small screen.
    const int numberWidth = fontMetrics().horizontalAdvance(u"-0.0000000000"_s);
    for (QLineEdit *field : form().findChildren<QLineEdit *>())
        field->setMaximumWidth(numberWidth);
}

SpewWindow::SpewWindow(UserDialogs &dialogs, QWidget *parent)
    : EntriesWindow(dialogs, GenericPage::SpewSlot::layout, kOneColumn,
                    { u"Spew"_s,
                      u"spew"_s,
                      { u"Apply modification to death spew."_s, u"Close the spew dialog."_s },
                      { { u"&Prev"_s, u"Go to previous data."_s },
                        { u"&Next"_s, u"Go to next data."_s },
                        u"#%1/%2"_s,
                        GenericPage::SpewSlot::count } },
                    parent)
{ }

ObjectSoundsWindow::ObjectSoundsWindow(UserDialogs &dialogs, QWidget *parent)
    : BlockWindow(dialogs, GenericPage::ObjectSounds::layout, kOneColumn,
                  { u"Object sounds"_s,
                    u"objectsounds"_s,
                    { u"Apply modifications."_s, u"Close the objects sound dialog."_s } },
                  parent)
{ }

DeathTypesWindow::DeathTypesWindow(UserDialogs &dialogs, QWidget *parent)
    : BlockWindow(dialogs,
                  { u"Death types"_s,
                    u"deathtypes"_s,
                    { u"Apply modifications."_s, u"Close the death types dialog."_s } },
                  parent)
{
    m_typeForm = new FieldForm(Deaths::Type::layout, kOneColumn, help(), check(), this);
    m_types = addNavigator({ { QString(), u"Previous death type."_s, u"Previous death type"_s },
                             { QString(), u"Next death type."_s, u"Next death type"_s },
                             u"#%1/%2"_s,
                             Deaths::maxCount });
    m_countForm = new FieldForm(Deaths::layout, kOneColumn, help(), check(), this, Deaths::Count,
                                Deaths::Types);
    for (FieldForm *form : { m_typeForm, m_countForm })
        help().addArea(form);
    auto *navigation = new QHBoxLayout;
    navigation->addStretch(1);
    navigation->addWidget(m_types);
    navigation->addStretch(1);
    auto *content = new QVBoxLayout;
    content->addWidget(m_typeForm);
    content->addLayout(navigation);
    content->addWidget(m_countForm);
    setContent(content);

    check().setTake(countField(), [this](const QString &text) { return takeCount(text); });
}

QLineEdit *DeathTypesWindow::countField() const
{
    return m_countForm->edit(Deaths::Count);
}

Values &DeathTypesWindow::shownType()
{
    return working().entries(Deaths::Types)[size_t(m_types->index() - 1)];
}

void DeathTypesWindow::takeWorkingCopy()
{
    BlockWindow::takeWorkingCopy();
    std::vector<Values> &types = working().entries(Deaths::Types);
    m_count = int(types.size());
    types.resize(size_t(Deaths::maxCount), blankValues(Deaths::Type::layout));
    m_types->setBound(m_count);
}

void DeathTypesWindow::refill()
{
    m_typeForm->show(shownType());
    countField()->setText(QString::number(m_count));
}

bool DeathTypesWindow::keepShown()
{
    m_typeForm->keep(shownType());
    return true;
}

void DeathTypesWindow::handBack()
{
    // A count typed but not yet taken is taken as leaving the field would; one that is not
    // 1 to 4 leaves the count as it is.
    if (!checkField(Deaths::layout[Deaths::Count].field, countField()->text()))
        takeCount(countField()->text());
    Values block = working();
    block.entries(Deaths::Types).resize(size_t(m_count));
    edited() = std::move(block);
}

std::optional<QString> DeathTypesWindow::takeCount(const QString &text)
{
    const std::optional<qint32> count = NumberText::toInt(text);
    if (!count) {
        // Empty passes the check but holds no number: the count stays.
        countField()->setText(QString::number(m_count));
        return std::nullopt;
    }
    if (*count != m_count) {
        keepShown();
        m_count = *count;
        m_types->setBound(m_count);
        m_types->setIndex(1);
        refill();
    }
    return std::nullopt;
}
