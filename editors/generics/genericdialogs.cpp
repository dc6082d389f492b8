#include "genericdialogs.h"

#include "fieldcheck.h"
#include "fieldform.h"
#include "genericpage.h"
#include "hoverhelp.h"
#include "sharedblocks.h"

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
    : BlockWindow(
          dialogs, Ai::layout, kAiColumns,
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

namespace {
namespace Animation = GenericPage::Animation;
constexpr std::array kAnimationColumns = { int(Animation::FromFrame) };
} // namespace

ClassesWindow::ClassesWindow(UserDialogs &dialogs, QWidget *parent)
    : SettingsWindow(dialogs, u"Classes"_s, u"classes"_s,
                     { u"Apply modifications."_s, u"Close the classes dialog."_s }, parent)
{
    m_form = new FieldForm(Animation::layout, kAnimationColumns, help(), check(), this);
    m_soundForm = new FieldForm(Animation::soundLayout, kOneColumn, help(), check(), this);
    for (FieldForm *form : { m_form, m_soundForm })
        help().addArea(form);
    FieldForm::alignCaptions({ m_form, m_soundForm });
    m_animations = addNavigator({ { QString(), u"Previous animation."_s, u"Previous animation"_s },
                                  { QString(), u"Next animation."_s, u"Next animation"_s },
                                  u"Animation %1/%2"_s,
                                  GenericPage::animationsPerClass });
    m_classes = addNavigator({ { u"&Prev"_s, u"Previous class."_s },
                               { u"&Next"_s, u"Next class."_s },
                               u"#%1/%2"_s,
                               GenericPage::classes });
    m_classes->addInner(m_animations);
    auto *content = new QVBoxLayout;
    content->addWidget(m_form);
    content->addWidget(m_soundForm);
    for (Navigator *navigator : { m_animations, m_classes }) {
        auto *row = new QHBoxLayout;
        row->addStretch(1);
        row->addWidget(navigator);
        row->addStretch(1);
        content->addLayout(row);
    }
    setContent(content);
}

void ClassesWindow::load(Values &page)
{
    m_page = &page;
    SettingsWindow::load();
}

void ClassesWindow::edit(Values &page)
{
    m_page = &page;
    SettingsWindow::edit();
}

size_t ClassesWindow::shownEntry() const
{
    return size_t((m_classes->index() - 1) * GenericPage::animationsPerClass +
                  m_animations->index() - 1);
}

void ClassesWindow::takeWorkingCopy()
{
    m_entries = m_page->entries(GenericPage::Animations);
    m_sounds = m_page->entries(GenericPage::AnimationSounds);
}

void ClassesWindow::refill()
{
    m_form->show(m_entries[shownEntry()]);
    m_soundForm->show(m_sounds[shownEntry()]);
}

bool ClassesWindow::keepShown()
{
    m_form->keep(m_entries[shownEntry()]);
    m_soundForm->keep(m_sounds[shownEntry()]);
    return true;
}

void ClassesWindow::handBack()
{
    m_page->entries(GenericPage::Animations) = m_entries;
    m_page->entries(GenericPage::AnimationSounds) = m_sounds;
}

GenericBatteryWindow::GenericBatteryWindow(UserDialogs &dialogs, QWidget *parent)
    : BatteryWindow(dialogs,
                    { u"Weapon Batteries"_s,
                      u"batteries"_s,
                      u"Previous weapon battery."_s,
                      u"Next weapon battery."_s,
                      { u"Apply modifications to weapon batteries."_s,
                        u"Close the weapon batteries dialog."_s } },
                    parent)
{ }

void GenericBatteryWindow::load(Values &page)
{
    m_page = &page;
    SettingsWindow::load();
}

void GenericBatteryWindow::edit(Values &page)
{
    m_page = &page;
    SettingsWindow::edit();
}

void GenericBatteryWindow::takeWorkingCopy()
{
    m_batteries = m_page->entries(GenericPage::Batteries);
    m_gunpointNames = m_page->entries(GenericPage::GunpointNames);
    m_maskSounds = m_page->entries(GenericPage::MaskSounds);
}

void GenericBatteryWindow::handBack()
{
    m_page->entries(GenericPage::Batteries) = m_batteries;
    m_page->entries(GenericPage::GunpointNames) = m_gunpointNames;
    m_page->entries(GenericPage::MaskSounds) = m_maskSounds;
}

Values &GenericBatteryWindow::battery(int b)
{
    return m_batteries[size_t(b)];
}

Values &GenericBatteryWindow::gunpointName(int b, int g)
{
    return m_gunpointNames[size_t(b * WeaponBattery::gunpoints + g)];
}

Values &GenericBatteryWindow::maskSound(int b, int m)
{
    return m_maskSounds[size_t(b * WeaponBattery::masks + m)];
}
