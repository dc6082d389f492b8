#include "textures.h"

#include "fieldform.h"
#include "procedural.h"
#include "userdialogs.h"

#include <QListWidget>
#include <QPushButton>

#include <bit>

using namespace Qt::StringLiterals;

namespace {
// The names and the light in the first column, the corona, damage, flags and sound in the second.
constexpr std::array kColumns = { int(TexturePage::Name), int(TexturePage::Corona) };
constexpr int kProceduralItem = std::countr_zero(TexturePage::proceduralFlag);
} // namespace

TextureEditor::TextureEditor(Workspace &workspace, UserDialogs &dialogs, QWidget *parent)
    : PageEditor(workspace, dialogs, PageKind::Texture, kColumns, parent)
    , m_window(new ProceduralWindow(dialogs, this))
{
    QListWidget *flags = form().checkList(TexturePage::Flags);
    // Only captions and buttons write the help memo; this hint is for assistive tools.
    flags->setAccessibleDescription(u"All the textures flags that can be used."_s);
    connect(flags, &QListWidget::itemChanged, this, &TextureEditor::flagsChanged);
    QPushButton *procedural =
        addButton(u"&Procedural"_s, u"Display dialog for procedural textures."_s);
    connect(procedural, &QPushButton::clicked, this, &TextureEditor::editProcedural);
}

void TextureEditor::pageChosen()
{
    m_defaultsPending = true;
}

void TextureEditor::takeBlocks(PageBody &body)
{
    std::vector<Values> &block = body.values.entries(TexturePage::Procedural);
    if (block.empty())
        return;
    m_block = std::move(block.front());
    block.clear();
    m_defaultsPending = false;
}

void TextureEditor::putBlocks(PageBody &body) const
{
    if (isProcedural())
        body.values.entries(TexturePage::Procedural) = { m_block };
}

bool TextureEditor::isProcedural() const
{
    return form().checkList(TexturePage::Flags)->item(kProceduralItem)->checkState() == Qt::Checked;
}

void TextureEditor::flagsChanged()
{
    if (isProcedural() && m_defaultsPending) {
        m_block = TexturePage::ProceduralBlock::defaults();
        m_defaultsPending = false;
    }
}

void TextureEditor::editProcedural()
{
    if (selectedPosition() < 0)
        return;
    if (!isProcedural()) {
        dialogs().message(this, u"Error"_s, u"This texture is not procedural"_s,
                          UserDialogs::Icon::Critical);
        return;
    }
    m_window->edit(m_block);
}
