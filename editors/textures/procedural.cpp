#include "procedural.h"

#include "fieldcheck.h"
#include "fieldform.h"
#include "hoverhelp.h"
#include "userdialogs.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
namespace Block = TexturePage::ProceduralBlock;

namespace {

constexpr std::array kOneColumn = { 0 };
constexpr std::array kSettingColumns = { int(Block::Heat), int(Block::EvaluationTime) };
constexpr std::array kElementColumns = { int(Block::Type), int(Block::X1) };

} // namespace

ProceduralWindow::ProceduralWindow(UserDialogs &dialogs, QWidget *parent)
    : SettingsWindow(dialogs, u"Procedural texture"_s, u"procedural"_s,
                     { u"Apply modifications to procedural data."_s,
                       u"Close the procedural texture dialog."_s },
                     parent)
{
    auto *palette = new QGroupBox(u" Palette "_s, this);
    help().addArea(palette);
    m_colourForm = new FieldForm(Block::colourLayout, kOneColumn, help(), check(), palette);
    m_colours =
        addNavigator({ { QString(), u"Previous palette color."_s, u"Previous palette color"_s },
                       { QString(), u"Next palette color."_s, u"Next palette color"_s },
                       u"%1/%2"_s,
                       Block::paletteSize },
                     palette);
    auto *paletteRow = new QHBoxLayout(palette);
    paletteRow->addWidget(m_colourForm, 1);
    paletteRow->addWidget(m_colours);

    m_settingsForm = new FieldForm(Block::layout, kSettingColumns, help(), check(), this,
                                   Block::Heat, Block::ElementCount);
    m_countForm = new FieldForm(Block::layout, kOneColumn, help(), check(), this,
                                Block::ElementCount, Block::Elements);

    auto *elements = new QGroupBox(u" Procedural elements "_s, this);
    help().addArea(elements);
    m_elementForm = new FieldForm(Block::elementLayout, kElementColumns, help(), check(), elements);
    m_elements = addNavigator({ { u"&Prev"_s, u"Previous procedural element."_s, QString() },
                                { u"&Next"_s, u"Next procedural element."_s, QString() },
                                u"%1/%2"_s,
                                Block::maxElements },
                              elements);
    auto *navigation = new QHBoxLayout;
    navigation->addStretch(1);
    navigation->addWidget(m_elements);
    navigation->addStretch(1);
    auto *elementLayout = new QVBoxLayout(elements);
    elementLayout->addWidget(m_elementForm);
    elementLayout->addLayout(navigation);

    auto *content = new QVBoxLayout;
    content->addWidget(palette);
    content->addWidget(m_settingsForm);
    content->addWidget(m_countForm);
    content->addWidget(elements);
    setContent(content);

    for (QWidget *form : { m_colourForm, m_settingsForm, m_countForm, m_elementForm })
        help().addArea(form);

    bindEntries(m_colours, Block::Palette, Block::colourLayout);
    bindEntries(m_elements, Block::Elements, Block::elementLayout);
    m_elements->setCountField(countField(), true);
    bind(m_colourForm, entryOf(m_colours, Block::Palette));
    bind(m_settingsForm, whole);
    bind(m_elementForm, entryOf(m_elements, Block::Elements));
    connect(&check(), &FieldCheck::passed, this, [this](QLineEdit *field) {
        if (field == colourField())
            settleColour();
    });
}

QLineEdit *ProceduralWindow::colourField() const
{
    return m_colourForm->edit(0);
}

QLineEdit *ProceduralWindow::settingField(int item) const
{
    return m_settingsForm->edit(item);
}

QLineEdit *ProceduralWindow::countField() const
{
    return m_countForm->edit(Block::ElementCount);
}

QLineEdit *ProceduralWindow::elementField(int value) const
{
    return m_elementForm->edit(value);
}

void ProceduralWindow::settleColour()
{
    FieldValue &colour = entryOf(m_colours, Block::Palette)(working()).field(0);
    if (const std::optional<qint32> value = NumberText::toInt(colourField()->text())) {
        colourField()->setText(QString::number(quint16(*value)));
        colour = NumberValue(FieldEncoding::Word, quint16(*value));
    } else {
        // Empty passes the check but holds no number.
        dialogs().error(this, NumberText::invalidIntegerMessage(colourField()->text()));
        colourField()->setText(numberText(colour));
    }
}
