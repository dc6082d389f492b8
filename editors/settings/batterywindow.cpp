#include "batterywindow.h"

#include "fieldform.h"
#include "hoverhelp.h"
#include "sharedblocks.h"

#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
namespace Battery = WeaponBattery;

namespace {

constexpr std::array kOneColumn = { 0 };

constexpr std::array kMaskColumns = { int(Battery::Mask::FireMask),
                                      int(Battery::Mask::AnimationStart) };

} // namespace

BatteryWindow::BatteryWindow(UserDialogs &dialogs, const Texts &texts, QWidget *parent)
    : SettingsWindow(dialogs, texts.title, texts.name, texts.hints, parent)
{
    const Place shown = [this](Values &working) -> Values & {
        return battery(working, shownBattery());
    };
    const auto batteryForm = [&](int first, int end) {
        auto *form = new FieldForm(Battery::layout, kOneColumn, help(), check(), this, first, end);
        help().addArea(form);
        bind(form, shown);
        form->narrowLists(); // so that the window fits a small screen
        return form;
    };
    // Usage; aiming and the quad fire mask; the aiming and battery flags. An entry's own fields
    // go before the usage, its own lists before the flags.
    m_usageColumn = new QVBoxLayout;
    m_usageColumn->addWidget(batteryForm(Battery::EnergyUsage, Battery::Gunpoints));
    m_usageColumn->addStretch(1);
    QBoxLayout *aimingColumn = new QVBoxLayout;
    aimingColumn->addWidget(batteryForm(Battery::MaskCount, Battery::AimingFlags));
    aimingColumn->addWidget(batteryForm(Battery::AimingDot, Battery::Flags));
    aimingColumn->addWidget(batteryForm(Battery::QuadFireMask, Battery::ItemCount));
    aimingColumn->addStretch(1);
    m_flagColumn = new QVBoxLayout;
    m_flagColumn->addWidget(batteryForm(Battery::AimingFlags, Battery::AimingDot));
    m_flagColumn->addWidget(batteryForm(Battery::Flags, Battery::QuadFireMask));
    m_flagColumn->addStretch(1);
    auto *batteryRow = new QHBoxLayout;
    batteryRow->setSpacing(16);
    for (QBoxLayout *column : { m_usageColumn, aimingColumn, m_flagColumn }) {
        batteryRow->addLayout(column);
        alignCaptions(column);
    }

    auto *gunpoint = new QFrame(this);
    gunpoint->setObjectName(u"panel"_s);
    gunpoint->setFrameShape(QFrame::StyledPanel);
    help().addArea(gunpoint);
    auto *gunpointForm =
        new FieldForm(Battery::Gunpoint::layout, kOneColumn, help(), check(), gunpoint);
    auto *gunpointNameForm =
        new FieldForm(Battery::Gunpoint::nameLayout, kOneColumn, help(), check(), gunpoint);
    m_gunpoints =
        addNavigator({ { QString(), u"Previous gunpoint index."_s, u"Previous gunpoint"_s },
                       { QString(), u"Next gunpoint index."_s, u"Next gunpoint"_s },
                       u"%1/%2"_s,
                       Battery::gunpoints },
                     gunpoint);
    auto *gunpointRow = new QHBoxLayout(gunpoint);
    gunpointRow->addWidget(gunpointForm, 2);
    gunpointRow->addWidget(gunpointNameForm, 3);
    gunpointRow->addWidget(m_gunpoints);

    auto *masks = new QGroupBox(u" Firing Masks "_s, this);
    help().addArea(masks);
    auto *maskForm = new FieldForm(Battery::Mask::layout, kMaskColumns, help(), check(), masks);
    auto *maskSoundForm =
        new FieldForm(Battery::Mask::soundLayout, kOneColumn, help(), check(), masks);
    m_masks = addNavigator({ { QString(), u"Previous firing mask."_s, u"Previous firing mask"_s },
                             { QString(), u"Next firing mask."_s, u"Next firing mask"_s },
                             u"%1/%2"_s,
                             Battery::masks },
                           masks);
    auto *maskBottom = new QHBoxLayout;
    maskBottom->addWidget(maskSoundForm, 1);
    maskBottom->addWidget(m_masks);
    auto *maskLayout = new QVBoxLayout(masks);
    maskLayout->addWidget(maskForm);
    maskLayout->addLayout(maskBottom);

    for (FieldForm *form : { gunpointForm, gunpointNameForm, maskForm, maskSoundForm })
        help().addArea(form);
    const auto g = [this] { return m_gunpoints->index() - 1; };
    const auto m = [this] { return m_masks->index() - 1; };
    bind(gunpointForm, [=](Values &working) -> Values & {
        return shown(working).entries(Battery::Gunpoints)[size_t(g())];
    });
    bind(gunpointNameForm, [=, this](Values &working) -> Values & {
        return gunpointName(working, shownBattery(), g());
    });
    bind(maskForm, [=](Values &working) -> Values & {
        return shown(working).entries(Battery::Masks)[size_t(m())];
    });
    bind(maskSoundForm, [=, this](Values &working) -> Values & {
        return maskSound(working, shownBattery(), m());
    });

    m_batteries = addNavigator({ { u"&Prev"_s, texts.previousHint, QString() },
                                 { u"&Next"_s, texts.nextHint, QString() },
                                 u"#%1/%2"_s,
                                 Battery::count });
    m_batteries->addInner(m_gunpoints);
    m_batteries->addInner(m_masks);
    auto *batteryNavigation = new QHBoxLayout;
    batteryNavigation->addStretch(1);
    batteryNavigation->addWidget(m_batteries);
    batteryNavigation->addStretch(1);

    auto *content = new QVBoxLayout;
    content->addLayout(batteryRow);
    content->addWidget(gunpoint);
    content->addWidget(masks);
    content->addLayout(batteryNavigation);
    setContent(content);
}

void BatteryWindow::addEntryFields(FieldForm *fields, FieldForm *lists, Place entry)
{
    bind(fields, entry);
    bind(lists, std::move(entry));
    help().addArea(fields);
    help().addArea(lists);
    m_usageColumn->insertWidget(0, fields);
    m_flagColumn->insertWidget(0, lists);
    lists->narrowLists();
    alignCaptions(m_usageColumn);
    alignCaptions(m_flagColumn);
}

void BatteryWindow::alignCaptions(QBoxLayout *column)
{
    QList<FieldForm *> forms;
    for (int i = 0; i < column->count(); ++i)
        if (auto *form = qobject_cast<FieldForm *>(column->itemAt(i)->widget()))
            forms.append(form);
    FieldForm::alignCaptions(forms);
}

int BatteryWindow::shownBattery() const
{
    return m_batteries->index() - 1;
}
