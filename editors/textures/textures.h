#pragma once

#include "pageeditor.h"
#include "texturepage.h"

class ProceduralWindow;

// The texture editor: the texture pages on the common workflow, with the procedural block
// held beside the controls and edited in the procedural texture settings.
class TextureEditor : public PageEditor
{
    Q_OBJECT

public:
    TextureEditor(Workspace &workspace, UserDialogs &dialogs, QWidget *parent = nullptr);

    // The "&Procedural" button: the settings of the selected page's block.
    void editProcedural();

    // Whether Apply, Copy and Export write the block: the "Procedural" flag as shown.
    bool isProcedural() const;
    // The block that the "Procedural" flag gives the page shown.
    Values &proceduralBlock() { return m_block; }
    ProceduralWindow &proceduralWindow() const { return *m_window; }

protected:
    void pageChosen() override;
    void takeBlocks(PageBody &body) override;
    void putBlocks(PageBody &body) const override;

private:
    void flagsChanged();

    ProceduralWindow *m_window;
    Values m_block = TexturePage::ProceduralBlock::defaults();
    // The selected page brought no block of its own: ticking "Procedural" starts from defaults.
    bool m_defaultsPending = true;
};
