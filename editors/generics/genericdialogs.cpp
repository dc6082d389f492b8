#include "genericdialogs.h"

#include "fieldcheck.h"
#include "fieldform.h"
#include "genericpage.h"
#include "hoverhelp.h"
#include "sharedblocks.h"

#include <QHBoxLayout>
#include <QLabel>
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
    // Thirty-one numbers in three columns: as wide as a number needs, and the lists as wide as
    // their items rather than as wide as Qt prefers any list, so that the window fits a small
    // screen.
    const int numberWidth = fontMetrics().horizontalAdvance(u"-0.0000000000"_s);
    for (QLineEdit *field : form().findChildren<QLineEdit *>())
        field->setMaximumWidth(numberWidth);
    form().narrowLists();
}

SpewWindow::SpewWindow(UserDialogs &dialogs, QWidget *parent)
    : EntriesWindow(dialogs, GenericPage::Spew, GenericPage::SpewSlot::layout, kOneColumn,
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
    : SettingsWindow(dialogs, u"Death types"_s, u"deathtypes"_s,
                     { u"Apply modifications."_s, u"Close the death types dialog."_s }, parent)
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
    // Said, not refused: stored tables may rely on other sums. The window keeps its size.
    m_sumNote = new QLabel(this);
    QSizePolicy keepsPlace = m_sumNote->sizePolicy();
    keepsPlace.setRetainSizeWhenHidden(true);
    m_sumNote->setSizePolicy(keepsPlace);
    m_sumNote->hide();
    connect(probabilityField(), &QLineEdit::textChanged, this, &DeathTypesWindow::noteSum);
    auto *navigation = new QHBoxLayout;
    navigation->addStretch(1);
    navigation->addWidget(m_types);
    navigation->addStretch(1);
    auto *content = new QVBoxLayout;
    content->addWidget(m_typeForm);
    content->addWidget(m_sumNote);
    content->addLayout(navigation);
    content->addWidget(m_countForm);
    setContent(content);

    bindEntries(m_types, Deaths::Types, Deaths::Type::layout);
    m_types->setCountField(countField(), false);
    bind(m_typeForm, entryOf(m_types, Deaths::Types));
}

QLineEdit *DeathTypesWindow::countField() const
{
    return m_countForm->edit(Deaths::Count);
}

QLineEdit *DeathTypesWindow::probabilityField() const
{
    return m_typeForm->edit(Deaths::Type::Probability);
}

void DeathTypesWindow::refill()
{
    SettingsWindow::refill();
    noteSum();
}

void DeathTypesWindow::noteSum()
{
    if (working().items.empty())
        return; // nothing loaded yet
    const std::vector<Values> &types = working().entries(Deaths::Types);
    if (types.size() < size_t(m_types->bound()))
        return; // a new count, not yet refilled
    int sum = 0;
    for (int t = 0; t < m_types->bound(); ++t) {
        // The shown type as typed; a byte as the page stores it.
        const QString text = t == m_types->index() - 1
            ? probabilityField()->text()
            : numberText(types[size_t(t)].field(Deaths::Type::Probability));
        const std::optional<qint32> probability =
            text.trimmed().isEmpty() ? 0 : NumberText::toInt(text);
        if (!probability)
            return; // the field's check speaks when it is left
        sum += quint8(*probability);
    }
    const bool off = m_types->bound() > 0 && sum != 100;
    m_sumNote->setText(
        off ? u"The death probabilities add up to %1, not 100."_s.arg(sum) : QString());
    m_sumNote->setVisible(off);
    // Read with the field, too.
    probabilityField()->setAccessibleDescription(m_sumNote->text());
}

namespace {
namespace Animation = GenericPage::Animation;
constexpr std::array kAnimationColumns = { int(Animation::FromFrame) };
} // namespace

ClassesWindow::ClassesWindow(UserDialogs &dialogs, QWidget *parent)
    : SettingsWindow(dialogs, u"Classes"_s, u"classes"_s,
                     { u"Apply modifications."_s, u"Close the classes dialog."_s }, parent)
{
    auto *form = new FieldForm(Animation::layout, kAnimationColumns, help(), check(), this);
    auto *soundForm = new FieldForm(Animation::soundLayout, kOneColumn, help(), check(), this);
    for (FieldForm *each : { form, soundForm })
        help().addArea(each);
    FieldForm::alignCaptions({ form, soundForm });
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
    content->addWidget(form);
    content->addWidget(soundForm);
    for (Navigator *navigator : { m_animations, m_classes }) {
        auto *row = new QHBoxLayout;
        row->addStretch(1);
        row->addWidget(navigator);
        row->addStretch(1);
        content->addLayout(row);
    }
    setContent(content);

    // An animation's sound lies in a run of its own, at the same place as its frames.
    const auto shownAt = [this](int item) -> Place {
        return [this, item](Values &page) -> Values & {
            const int entry = (m_classes->index() - 1) * GenericPage::animationsPerClass +
                m_animations->index() - 1;
            return page.entries(item)[size_t(entry)];
        };
    };
    bind(form, shownAt(GenericPage::Animations));
    bind(soundForm, shownAt(GenericPage::AnimationSounds));
    handBackOnly({ GenericPage::Animations, GenericPage::AnimationSounds });
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
{
    handBackOnly({ GenericPage::Batteries, GenericPage::GunpointNames, GenericPage::MaskSounds });
}

Values &GenericBatteryWindow::battery(Values &working, int b)
{
    return working.entries(GenericPage::Batteries)[size_t(b)];
}

Values &GenericBatteryWindow::gunpointName(Values &working, int b, int g)
{
    return working.entries(GenericPage::GunpointNames)[size_t(b * WeaponBattery::gunpoints + g)];
}

Values &GenericBatteryWindow::maskSound(Values &working, int b, int m)
{
    return working.entries(GenericPage::MaskSounds)[size_t(b * WeaponBattery::masks + m)];
}
