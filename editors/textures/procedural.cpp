#include "procedural.h"

#include "fieldcheck.h"
#include "fieldform.h"
#include "hoverhelp.h"
#include "numbertext.h"
#include "userdialogs.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using Procedural = TexturePage::Procedural;

namespace {

constexpr int kPaletteSize = Procedural::paletteSize;
constexpr int kMaxElements = Procedural::maxElements;

constexpr std::array kOneColumn = { 0 };
constexpr std::array kSettingColumns = { 0, 3 };
constexpr std::array kElementColumns = { 0, 4 };

} // namespace

ProceduralWindow::ProceduralWindow(UserDialogs &dialogs, QWidget *parent)
    : EditorWindow(dialogs, u"Procedural texture"_s, parent)
{

    auto *palette = new QGroupBox(u" Palette "_s, this);
    help().addArea(palette);
    m_colourForm = new FieldForm(std::span(&TexturePage::colourField, 1), kOneColumn, help(),
                                 check(), palette);
    auto *previousColour = withHint(new QToolButton(palette), u"Previous palette color."_s);
    auto *nextColour = withHint(new QToolButton(palette), u"Next palette color."_s);
    previousColour->setArrowType(Qt::LeftArrow);
    nextColour->setArrowType(Qt::RightArrow);
    m_previousColour = previousColour;
    m_nextColour = nextColour;
    m_previousColour->setAccessibleName(u"Previous palette color"_s);
    m_nextColour->setAccessibleName(u"Next palette color"_s);
    m_colourCounter = new QLabel(u"1/255"_s, palette);
    m_colourCounter->setMinimumWidth(
        m_colourCounter->fontMetrics().horizontalAdvance(u"255/255"_s));
    m_colourCounter->setAlignment(Qt::AlignCenter);
    auto *paletteRow = new QHBoxLayout(palette);
    paletteRow->addWidget(m_colourForm, 1);
    paletteRow->addWidget(m_previousColour);
    paletteRow->addWidget(m_colourCounter);
    paletteRow->addWidget(m_nextColour);

    m_settingsForm =
        new FieldForm(TexturePage::settingFields, kSettingColumns, help(), check(), this);
    m_countForm = new FieldForm(std::span(&TexturePage::elementCountField, 1), kOneColumn, help(),
                                check(), this);

    auto *elements = new QGroupBox(u" Procedural elements "_s, this);
    help().addArea(elements);
    m_elementForm =
        new FieldForm(TexturePage::elementFields, kElementColumns, help(), check(), elements);
    m_previousElement =
        withHint(new QPushButton(u"&Prev"_s, elements), u"Previous procedural element."_s);
    m_nextElement = withHint(new QPushButton(u"&Next"_s, elements), u"Next procedural element."_s);
    m_elementCounter = new QLabel(u"1/8000"_s, elements);
    m_elementCounter->setMinimumWidth(
        m_elementCounter->fontMetrics().horizontalAdvance(u"8000/8000"_s));
    m_elementCounter->setAlignment(Qt::AlignCenter);
    auto *navigation = new QHBoxLayout;
    navigation->addStretch(1);
    navigation->addWidget(m_previousElement);
    navigation->addWidget(m_elementCounter);
    navigation->addWidget(m_nextElement);
    navigation->addStretch(1);
    auto *elementLayout = new QVBoxLayout(elements);
    elementLayout->addWidget(m_elementForm);
    elementLayout->addLayout(navigation);

    auto *applyButton =
        withHint(new QPushButton(u"&Apply"_s, this), u"Apply modifications to procedural data."_s);
    auto *closeButton =
        withHint(new QPushButton(u"&Close"_s, this), u"Close the procedural texture dialog."_s);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(applyButton);
    buttons->addWidget(closeButton);

    auto *content = new QVBoxLayout;
    content->addWidget(palette);
    content->addWidget(m_settingsForm);
    content->addWidget(m_countForm);
    content->addWidget(elements);
    content->addLayout(buttons);
    setContent(content);

    for (QWidget *form : { m_colourForm, m_settingsForm, m_countForm, m_elementForm })
        help().addArea(form);

    connect(m_previousColour, &QAbstractButton::clicked, this, &ProceduralWindow::previousColour);
    connect(m_nextColour, &QAbstractButton::clicked, this, &ProceduralWindow::nextColour);
    connect(m_previousElement, &QAbstractButton::clicked, this, &ProceduralWindow::previousElement);
    connect(m_nextElement, &QAbstractButton::clicked, this, &ProceduralWindow::nextElement);
    connect(applyButton, &QAbstractButton::clicked, this, &ProceduralWindow::apply);
    // Nothing is handed back but by Apply, so closing puts back the count of the last Apply;
    // the title bar's close box and Escape close the same way.
    connect(closeButton, &QAbstractButton::clicked, this, &QDialog::accept);

    check().setTake(colourField(), [this](const QString &text) { return takeColour(text); });
    check().setTake(countField(), [this](const QString &text) { return takeCount(text); });
    for (int value = 0; value < Procedural::elementValueCount; ++value)
        check().setTake(elementField(value), [this, value](const QString &text) {
            m_elements[m_element - 1][value] = text;
            return std::optional<QString>();
        });
}

QLineEdit *ProceduralWindow::colourField() const
{
    return m_colourForm->edit(0);
}

QLineEdit *ProceduralWindow::settingField(int setting) const
{
    return m_settingsForm->edit(setting);
}

QLineEdit *ProceduralWindow::countField() const
{
    return m_countForm->edit(0);
}

QLineEdit *ProceduralWindow::elementField(int value) const
{
    return m_elementForm->edit(value);
}

void ProceduralWindow::load(Procedural &block)
{
    m_block = &block;
    m_palette = block.palette;
    m_elements = block.elements;
    m_count = int(block.elements.size());
    // A stored count of 0 still shows element 1.
    growWorkingTable(std::max(m_count, 1));
    m_colour = 1;
    m_element = 1;
    m_previousColour->setEnabled(false);
    m_nextColour->setEnabled(true);
    updateElementButtons();
    refreshData();
}

void ProceduralWindow::edit(Procedural &block)
{
    load(block);
    showModal();
}

void ProceduralWindow::growWorkingTable(int count)
{
    while (m_elements.size() < count)
        m_elements.append(Procedural::zeroElement());
}

void ProceduralWindow::refreshData()
{
    colourField()->setText(NumberText::fromInt(m_palette[m_colour - 1]));
    for (int setting = 0; setting < Procedural::settingCount; ++setting)
        settingField(setting)->setText(m_block->settings[setting]);
    countField()->setText(NumberText::fromInt(m_count));
    const Procedural::Element &element = m_elements[m_element - 1];
    for (int value = 0; value < Procedural::elementValueCount; ++value)
        elementField(value)->setText(element[value]);
    m_colourCounter->setText(u"%1/%2"_s.arg(m_colour).arg(kPaletteSize));
    m_elementCounter->setText(u"%1/%2"_s.arg(m_element).arg(m_count));
}

void ProceduralWindow::updateElementButtons()
{
    m_previousElement->setEnabled(m_element > 1);
    m_nextElement->setEnabled(m_element < m_count);
}

void ProceduralWindow::showFirstElement()
{
    m_element = 1;
    updateElementButtons();
    refreshData();
}

void ProceduralWindow::previousColour()
{
    if (m_colour <= 1)
        return;
    --m_colour;
    m_nextColour->setEnabled(true);
    m_previousColour->setEnabled(m_colour > 1);
    refreshData();
}

void ProceduralWindow::nextColour()
{
    if (m_colour >= kPaletteSize)
        return;
    ++m_colour;
    m_previousColour->setEnabled(true);
    m_nextColour->setEnabled(m_colour < kPaletteSize);
    refreshData();
}

void ProceduralWindow::previousElement()
{
    if (m_element <= 1)
        return;
    --m_element;
    updateElementButtons();
    refreshData();
}

void ProceduralWindow::nextElement()
{
    if (m_element >= m_count)
        return;
    ++m_element;
    updateElementButtons();
    refreshData();
}

std::optional<QString> ProceduralWindow::takeColour(const QString &text)
{
    if (const std::optional<qint32> value = NumberText::toInt(text))
        m_palette[m_colour - 1] = quint16(*value);
    else
        refuseEmpty(colourField(), m_palette[m_colour - 1]);
    return std::nullopt;
}

void ProceduralWindow::refuseEmpty(QLineEdit *field, int kept)
{
    dialogs().error(this, NumberText::invalidIntegerMessage(field->text()));
    field->setText(NumberText::fromInt(kept));
}

std::variant<int, QString> ProceduralWindow::countFrom(const QString &text) const
{
    const std::optional<qint32> count = NumberText::toInt(text);
    if (!count)
        return QString(kIntegerFieldMessage);
    if (*count < 1 || *count > kMaxElements)
        return u"This value must be between 1 and 8000"_s;
    return int(*count);
}

std::optional<QString> ProceduralWindow::takeCount(const QString &text)
{
    if (text.isEmpty()) {
        refuseEmpty(countField(), m_count);
        return std::nullopt;
    }
    const std::variant<int, QString> count = countFrom(text);
    if (const auto *problem = std::get_if<QString>(&count))
        return *problem;
    const int taken = std::get<int>(count);
    if (taken == m_count)
        return std::nullopt;
    m_count = taken;
    growWorkingTable(m_count);
    showFirstElement();
    return std::nullopt;
}

void ProceduralWindow::apply()
{
    if (!m_block)
        return;
    const std::variant<int, QString> count = countFrom(countField()->text());
    if (const auto *problem = std::get_if<QString>(&count)) {
        dialogs().message(this, u"Error"_s, *problem, UserDialogs::Icon::Critical);
        countField()->setFocus(Qt::OtherFocusReason);
        return;
    }
    const int taken = std::get<int>(count);
    growWorkingTable(taken);
    m_block->palette = m_palette;
    for (int setting = 0; setting < Procedural::settingCount; ++setting)
        m_block->settings[setting] = settingField(setting)->text();
    m_block->elements = m_elements.first(taken);
    if (taken != m_count) {
        m_count = taken;
        showFirstElement();
    }
}
