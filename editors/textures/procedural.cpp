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

const FieldSpec &countSpec()
{
    return Block::layout[Block::ElementCount].field;
}

} // namespace

ProceduralWindow::ProceduralWindow(UserDialogs &dialogs, QWidget *parent)
    : BlockWindow(dialogs,
                  { u"Procedural texture"_s,
                    u"procedural"_s,
                    { u"Apply modifications to procedural data."_s,
                      u"Close the procedural texture dialog."_s } },
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
    m_colours->setBound(Block::paletteSize);
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

    check().setTake(colourField(), [this](const QString &text) { return takeColour(text); });
    check().setTake(countField(), [this](const QString &text) { return takeCount(text); });
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

void ProceduralWindow::takeWorkingCopy()
{
    BlockWindow::takeWorkingCopy();
    std::vector<Values> &table = working().entries(Block::Elements);
    m_count = int(table.size());
    // A stored count of 0 still shows element 1.
    if (table.empty())
        table.push_back(blankValues(Block::elementLayout));
    m_elements->setBound(m_count);
}

Values &ProceduralWindow::shownColour()
{
    return working().entries(Block::Palette)[size_t(m_colours->index() - 1)];
}

Values &ProceduralWindow::shownElement()
{
    return working().entries(Block::Elements)[size_t(m_elements->index() - 1)];
}

void ProceduralWindow::refill()
{
    m_colourForm->show(shownColour());
    m_settingsForm->show(working());
    m_countForm->show(working());
    countField()->setText(QString::number(m_count));
    m_elementForm->show(shownElement());
}

bool ProceduralWindow::keepShown()
{
    m_colourForm->keep(shownColour());
    m_settingsForm->keep(working());
    m_elementForm->keep(shownElement());
    return true;
}

std::optional<SettingsWindow::Refusal> ProceduralWindow::validate() const
{
    const std::variant<int, QString> count = countFrom(countField()->text());
    if (const auto *problem = std::get_if<QString>(&count))
        return Refusal { *problem, countField() };
    return std::nullopt;
}

void ProceduralWindow::handBack()
{
    // A count typed but not left is taken as leaving it would.
    if (const int count = std::get<int>(countFrom(countField()->text())); count != m_count)
        setCount(count);
    Values block = working();
    block.entries(Block::Elements).resize(size_t(m_count));
    edited() = std::move(block);
}

std::optional<QString> ProceduralWindow::takeColour(const QString &text)
{
    FieldValue &colour = shownColour().field(0);
    if (const std::optional<qint32> value = NumberText::toInt(text)) {
        // Shown as the 16 bits it keeps.
        const QString kept = QString::number(quint16(*value));
        colourField()->setText(kept);
        colour = NumberValue(FieldEncoding::Word, quint16(*value));
    } else {
        refuseEmpty(colourField(), numberText(colour));
    }
    return std::nullopt;
}

void ProceduralWindow::refuseEmpty(QLineEdit *field, const QString &kept)
{
    dialogs().error(this, NumberText::invalidIntegerMessage(field->text()));
    field->setText(kept);
}

std::variant<int, QString> ProceduralWindow::countFrom(const QString &text) const
{
    if (const std::optional<QString> problem = checkField(countSpec(), text))
        return *problem;
    const std::optional<qint32> count = NumberText::toInt(text);
    if (!count)
        return QString(kIntegerFieldMessage);
    return int(*count);
}

std::optional<QString> ProceduralWindow::takeCount(const QString &text)
{
    if (text.isEmpty()) {
        refuseEmpty(countField(), QString::number(m_count));
        return std::nullopt;
    }
    const std::variant<int, QString> count = countFrom(text);
    if (const auto *problem = std::get_if<QString>(&count))
        return *problem;
    if (std::get<int>(count) != m_count) {
        // What the shown element holds is kept before element 1 is shown.
        keepShown();
        setCount(std::get<int>(count));
    }
    return std::nullopt;
}

void ProceduralWindow::setCount(int count)
{
    m_count = count;
    std::vector<Values> &table = working().entries(Block::Elements);
    if (int(table.size()) < count)
        table.resize(size_t(count), blankValues(Block::elementLayout));
    m_elements->setBound(count);
    m_elements->setIndex(1);
    refill();
}
