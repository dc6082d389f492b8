#pragma once

#include "pageeditor.h"

// The door editor: the door pages on the common page editor workflow.
class DoorEditor : public PageEditor
{
public:
    DoorEditor(Workspace &workspace, UserDialogs &dialogs, QWidget *parent = nullptr);
};
