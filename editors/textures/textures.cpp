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

TextureEditor::TextureEditor(PageLists &lists, UserDialogs &dialogs, QWidget *parent)
    : PageEditor(lists, dialogs, PageKind::Texture, kColumns, parent)
{
    QListWidget *flags = form().checkList(TexturePage::Flags);
    // Only captions and buttons write the help memo; this hint is for assistive tools.
    flags->setAccessibleDescription(u"All the textures flags that can be used."_s);
    connect(flags, &QListWidget::itemChanged, this, &TextureEditor::flagsChanged);
    QPushButton *procedural =
        addButton(u"&Procedural"_s, u"Display dialog for procedural textures."_s);
    connect(procedural, &QPushButton::clicked, this, &TextureEditor::editProcedural);
}

void TextureEditor::putBlocks(PageBody &body) const
{
    // The page keeps its block while the flag is off, so that ticking it again brings it back.
    if (!isProcedural())
        body.values.entries(TexturePage::Procedural).clear();
}

bool TextureEditor::isProcedural() const
{
    return form().checkList(TexturePage::Flags)->item(kProceduralItem)->checkState() == Qt::Checked;
}

void TextureEditor::flagsChanged()
{
    // A page that brought no block of its own starts from the defaults.
    std::vector<Values> &block = shownPage().values.entries(TexturePage::Procedural);
    if (isProcedural() && block.empty())
        block = { TexturePage::ProceduralBlock::defaults() };
}

void TextureEditor::editProcedural()
{
    if (shownPosition() < 0)
        return;
    if (!isProcedural()) {
        dialogs().message(this, u"Error"_s, u"This texture is not procedural"_s,
                          UserDialogs::Icon::Critical);
        return;
    }
    editSettings(proceduralWindow(), proceduralBlock());
}

ProceduralWindow &TextureEditor::proceduralWindow()
{
    return ownWindow(m_window);
}
