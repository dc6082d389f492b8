#pragma once

#include "settingswindow.h"
#include "texturepage.h"

class FieldForm;
class QLineEdit;

// The procedural texture settings: the procedural block of the selected texture, its palette and
// elements on navigators. It never writes a file; the texture editor's Apply does.
class ProceduralWindow : public SettingsWindow
{
    Q_OBJECT

public:
    explicit ProceduralWindow(UserDialogs &dialogs, QWidget *parent = nullptr);

    Navigator &colourNavigator() const { return *m_colours; }
    Navigator &elementNavigator() const { return *m_elements; }

    QLineEdit *colourField() const;
    QLineEdit *settingField(int item) const;
    QLineEdit *countField() const;
    QLineEdit *elementField(int value) const;

private:
    // A colour is shown as the 16 bits it keeps once its field is left.
    void settleColour();

    FieldForm *m_colourForm;
    FieldForm *m_settingsForm;
    FieldForm *m_countForm;
    FieldForm *m_elementForm;
    Navigator *m_colours;
    Navigator *m_elements;
};
