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

// The aiming flags have a list that shows its one item checked and never changes the flags,
// which are kept as read.
const std::array<const char *, 1> kAimingFlagItems = { "Unknown" };
const std::array<Item, 1> kAimingFlagsItems = { { field({ FieldEncoding::ByteBits,
                                                           "Aiming flags", "???", std::nullopt,
                                                           kAimingFlagItems, {}, nullptr,
                                                           std::nullopt, true }) } };
const Layout kAimingFlagsLayout = { kAimingFlagsItems };

const Values &aimingFlagsShown()
{
    static const Values shown { { Value { quint32(1), {} } } };
    return shown;
}

} // namespace

BatteryWindow::BatteryWindow(UserDialogs &dialogs, const Texts &texts, QWidget *parent)
    : SettingsWindow(dialogs, texts.title, texts.name, texts.hints, parent)
{
    const auto batteryForm = [this](int first, int end) {
        auto *form = new FieldForm(Battery::layout, kOneColumn, help(), check(), this, first, end);
        help().addArea(form);
        m_batteryForms.append(form);
        return form;
    };
    // Usage and aiming; the aiming flags, the battery flags and the quad fire mask beside.
    FieldForm *numbers = batteryForm(Battery::EnergyUsage, Battery::Flags);
    m_aimingFlagsForm = new FieldForm(kAimingFlagsLayout, kOneColumn, help(), check(), this);
    help().addArea(m_aimingFlagsForm);
    FieldForm *flags = batteryForm(Battery::Flags, Battery::ItemCount);
    auto *flagColumn = new QVBoxLayout;
    flagColumn->addWidget(m_aimingFlagsForm);
    flagColumn->addWidget(flags);
    flagColumn->addStretch(1);
    auto *batteryRow = new QHBoxLayout;
    batteryRow->setSpacing(16);
    batteryRow->addWidget(numbers, 1);
    batteryRow->addLayout(flagColumn, 1);

    auto *gunpoint = new QFrame(this);
    gunpoint->setObjectName(u"panel"_s);
    gunpoint->setFrameShape(QFrame::StyledPanel);
    help().addArea(gunpoint);
    m_gunpointForm = new FieldForm(Battery::Gunpoint::layout, kOneColumn, help(), check(), gunpoint);
    m_gunpointNameForm =
        new FieldForm(Battery::Gunpoint::nameLayout, kOneColumn, help(), check(), gunpoint);
    m_gunpoints = addNavigator({ { QString(), u"Previous gunpoint index."_s, u"Previous gunpoint"_s },
                                 { QString(), u"Next gunpoint index."_s, u"Next gunpoint"_s },
                                 u"%1/%2"_s,
                                 Battery::gunpoints },
                               gunpoint);
    auto *gunpointRow = new QHBoxLayout(gunpoint);
    gunpointRow->addWidget(m_gunpointForm, 1);
    gunpointRow->addWidget(m_gunpointNameForm, 2);
    gunpointRow->addWidget(m_gunpoints);

    auto *masks = new QGroupBox(u" Firing Masks "_s, this);
    help().addArea(masks);
    m_maskForm = new FieldForm(Battery::Mask::layout, kMaskColumns, help(), check(), masks);
    m_maskSoundForm = new FieldForm(Battery::Mask::soundLayout, kOneColumn, help(), check(), masks);
    m_masks = addNavigator({ { QString(), u"Previous firing mask."_s, u"Previous firing mask"_s },
                             { QString(), u"Next firing mask."_s, u"Next firing mask"_s },
                             u"%1/%2"_s,
                             Battery::masks },
                           masks);
    auto *maskBottom = new QHBoxLayout;
    maskBottom->addWidget(m_maskSoundForm, 1);
    maskBottom->addWidget(m_masks);
    auto *maskLayout = new QVBoxLayout(masks);
    maskLayout->addWidget(m_maskForm);
    maskLayout->addLayout(maskBottom);

    for (FieldForm *form : { m_gunpointForm, m_gunpointNameForm, m_maskForm, m_maskSoundForm })
        help().addArea(form);

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

    m_content = new QVBoxLayout;
    m_content->addLayout(batteryRow);
    m_content->addWidget(gunpoint);
    m_content->addWidget(masks);
    m_content->addLayout(batteryNavigation);
    setContent(m_content);
}

void BatteryWindow::addEntryFields(QWidget *fields)
{
    help().addArea(fields);
    m_content->insertWidget(0, fields);
}

int BatteryWindow::shownBattery() const
{
    return m_batteries->index() - 1;
}

void BatteryWindow::refill()
{
    const int b = shownBattery();
    const int g = m_gunpoints->index() - 1;
    const int m = m_masks->index() - 1;
    Values &shown = battery(b);
    for (FieldForm *form : std::as_const(m_batteryForms))
        form->show(shown);
    m_aimingFlagsForm->show(aimingFlagsShown());
    m_gunpointForm->show(shown.entries(Battery::Gunpoints)[size_t(g)]);
    m_gunpointNameForm->show(gunpointName(b, g));
    m_maskForm->show(shown.entries(Battery::Masks)[size_t(m)]);
    m_maskSoundForm->show(maskSound(b, m));
}

bool BatteryWindow::keepShown()
{
    const int b = shownBattery();
    const int g = m_gunpoints->index() - 1;
    const int m = m_masks->index() - 1;
    Values &shown = battery(b);
    for (FieldForm *form : std::as_const(m_batteryForms))
        form->keep(shown);
    m_gunpointForm->keep(shown.entries(Battery::Gunpoints)[size_t(g)]);
    m_gunpointNameForm->keep(gunpointName(b, g));
    m_maskForm->keep(shown.entries(Battery::Masks)[size_t(m)]);
    m_maskSoundForm->keep(maskSound(b, m));
    return true;
}
