#pragma once

class QWidget;

// The look of the editors and settings windows: black, with white captions.
void applyEditorStyle(QWidget *window);

// The program's one look, for what no window styles itself: menus, message boxes, file dialogs,
// fields, lists and buttons are dark as the main window and the editors are. Call it once the
// application exists, before any window is made.
void applyProgramStyle();
