#pragma once

#include "pageeditor.h"

// The sound editor: the sound pages on the common page editor workflow.
class SoundEditor : public PageEditor
{
public:
    SoundEditor(Workspace &workspace, UserDialogs &dialogs, QWidget *parent = nullptr);
};
