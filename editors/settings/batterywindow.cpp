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
    const auto batteryForm = [this](int first, int end) {
        auto *form = new FieldForm(Battery::layout, kOneColumn, help(), check(), this, first, end);
        help().addArea(form);
        m_batteryForms.append(form);
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
    m_gunpointForm =
        new FieldForm(Battery::Gunpoint::layout, kOneColumn, help(), check(), gunpoint);
    m_gunpointNameForm =
        new FieldForm(Battery::Gunpoint::nameLayout, kOneColumn, help(), check(), gunpoint);
    m_gunpoints =
        addNavigator({ { QString(), u"Previous gunpoint index."_s, u"Previous gunpoint"_s },
                       { QString(), u"Next gunpoint index."_s, u"Next gunpoint"_s },
                       u"%1/%2"_s,
                       Battery::gunpoints },
                     gunpoint);
    auto *gunpointRow = new QHBoxLayout(gunpoint);
    gunpointRow->addWidget(m_gunpointForm, 2);
    gunpointRow->addWidget(m_gunpointNameForm, 3);
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

    auto *content = new QVBoxLayout;
    content->addLayout(batteryRow);
    content->addWidget(gunpoint);
    content->addWidget(masks);
    content->addLayout(batteryNavigation);
    setContent(content);
}

void BatteryWindow::addEntryFields(FieldForm *fields, FieldForm *lists)
{
    help().addArea(fields);
    help().addArea(lists);
    m_usageColumn->insertWidget(0, fields);
    m_flagColumn->insertWidget(0, lists);
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

void BatteryWindow::refill()
{
    const int b = shownBattery();
    const int g = m_gunpoints->index() - 1;
    const int m = m_masks->index() - 1;
    Values &shown = battery(b);
    for (FieldForm *form : std::as_const(m_batteryForms))
        form->show(shown);
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
