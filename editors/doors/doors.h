#pragma once

#include "pageeditor.h"

// The door editor: the door pages on the common page editor workflow.
class DoorEditor : public PageEditor
{
    Q_OBJECT

public:
    DoorEditor(PageLists &lists, UserDialogs &dialogs, QWidget *parent = nullptr);
};
