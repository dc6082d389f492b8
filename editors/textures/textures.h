#pragma once

#include "pageeditor.h"
#include "texturepage.h"

class ProceduralWindow;

// The texture editor: the texture pages on the common workflow, with the procedural block of
// the page shown edited in the procedural texture settings.
class TextureEditor : public PageEditor
{
    Q_OBJECT

public:
    TextureEditor(PageLists &lists, UserDialogs &dialogs, QWidget *parent = nullptr);

    // The "&Procedural" button: the settings of the selected page's block.
    void editProcedural();

    // Whether Apply, Copy and Export write the block: the "Procedural" flag as shown.
    bool isProcedural() const;
    // The block of the page shown; nullptr while it has none or no page is selected.
    Values *proceduralBlock() { return shownBlock(TexturePage::Procedural); }
    ProceduralWindow &proceduralWindow();

protected:
    void putBlocks(PageBody &body) const override;

private:
    void flagsChanged();

    ProceduralWindow *m_window = nullptr;
};
