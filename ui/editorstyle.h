#pragma once

class QWidget;

// The look of the editors and settings windows: black, with white captions.
void applyEditorStyle(QWidget *window);
