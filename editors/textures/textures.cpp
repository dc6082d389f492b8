#include "textures.h"

#include "fieldcodecs.h"
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
    : PageEditor(workspace, dialogs, TexturePage::format, kColumns, parent)
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

QByteArray TextureEditor::showPage(RecordReader &reader)
{
    // Read whole before anything is shown: a damaged block leaves the editor as it was.
    TexturePage::Body body = TexturePage::Body::read(reader);
    form().setValues(body.fields.values);
    if (body.procedural) {
        m_block = std::move(*body.procedural);
        m_defaultsPending = false;
    }
    return body.fields.name();
}

QByteArray TextureEditor::buildRecord() const
{
    TexturePage::Body body { { form().values() }, std::nullopt };
    if (isProcedural())
        body.procedural = m_block;
    return body.record();
}

QByteArray TextureEditor::newRecord() const
{
    return TexturePage::Body::blank().record();
}

bool TextureEditor::isProcedural() const
{
    return form().checkList(TexturePage::Flags)->item(kProceduralItem)->checkState() == Qt::Checked;
}

void TextureEditor::flagsChanged()
{
    if (isProcedural() && m_defaultsPending) {
        m_block = TexturePage::Procedural::defaults();
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
