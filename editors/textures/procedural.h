#pragma once

#include "editorwindow.h"
#include "texturepage.h"

class FieldForm;
class QAbstractButton;
class QLabel;
class QLineEdit;

// The procedural texture settings: edits the procedural block of the selected texture on
// working copies of the palette and the elements, and hands them back on its own Apply. It
// never writes a file; the texture editor's Apply does.
class ProceduralWindow : public EditorWindow
{
    Q_OBJECT

public:
    explicit ProceduralWindow(UserDialogs &dialogs, QWidget *parent = nullptr);

    // Takes the block to edit, shown at colour 1 and element 1. Apply hands the window's values
    // back into it, so it must outlive the showing.
    void load(TexturePage::Procedural &block);
    // load, then the window, modally.
    void edit(TexturePage::Procedural &block);

    void previousColour();
    void nextColour();
    void previousElement();
    void nextElement();
    // Hands back the palette, the settings, the count and that many elements; a count that is
    // not 1 to 8000 is refused and nothing is handed back.
    void apply();

    int colourIndex() const { return m_colour; }
    int elementIndex() const { return m_element; }

    QLineEdit *colourField() const;
    QLineEdit *settingField(int setting) const;
    QLineEdit *countField() const;
    QLineEdit *elementField(int value) const;
    QLabel &colourCounter() const { return *m_colourCounter; }
    QLabel &elementCounter() const { return *m_elementCounter; }
    QAbstractButton &previousColourButton() const { return *m_previousColour; }
    QAbstractButton &nextColourButton() const { return *m_nextColour; }
    QAbstractButton &previousElementButton() const { return *m_previousElement; }
    QAbstractButton &nextElementButton() const { return *m_nextElement; }

private:
    void refreshData();
    // Element 1 after a new count, with the buttons to match.
    void showFirstElement();
    void updateElementButtons();
    std::optional<QString> takeColour(const QString &text);
    // An empty field passes the check but holds no number: the standard conversion error, and
    // the field shows the value kept.
    void refuseEmpty(QLineEdit *field, int kept);
    std::optional<QString> takeCount(const QString &text);
    // The count a text gives, or the message that refuses it.
    std::variant<int, QString> countFrom(const QString &text) const;
    // The working table holds at least `count` elements; the new ones are "0".
    void growWorkingTable(int count);

    TexturePage::Procedural *m_block = nullptr;
    std::array<quint16, TexturePage::Procedural::paletteSize> m_palette {};
    QList<TexturePage::Procedural::Element> m_elements;
    int m_colour = 1;
    int m_element = 1;
    int m_count = 1;

    FieldForm *m_colourForm;
    FieldForm *m_settingsForm;
    FieldForm *m_countForm;
    FieldForm *m_elementForm;
    QLabel *m_colourCounter;
    QLabel *m_elementCounter;
    QAbstractButton *m_previousColour;
    QAbstractButton *m_nextColour;
    QAbstractButton *m_previousElement;
    QAbstractButton *m_nextElement;
};
