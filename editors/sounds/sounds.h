#pragma once

#include "pageeditor.h"

// The sound editor: the sound pages on the common page editor workflow.
class SoundEditor : public PageEditor
{
    Q_OBJECT

public:
    SoundEditor(PageLists &lists, UserDialogs &dialogs, QWidget *parent = nullptr);
};
