#pragma once

#include "blockwindow.h"
#include "texturepage.h"

class FieldForm;
class QLineEdit;

// The procedural texture settings: the procedural block of the selected texture, its palette and
// elements on navigators. It never writes a file; the texture editor's Apply does.
class ProceduralWindow : public BlockWindow
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

protected:
    void takeWorkingCopy() override;
    void refill() override;
    bool keepShown() override;
    std::optional<Refusal> validate() const override;
    void handBack() override;

private:
    Values &shownColour();
    Values &shownElement();
    std::optional<QString> takeColour(const QString &text);
    std::optional<QString> takeCount(const QString &text);
    // A new count: the working table grows to it, and element 1 is shown.
    void setCount(int count);
    // The count a text gives, or the message that refuses it.
    std::variant<int, QString> countFrom(const QString &text) const;
    // An empty field passes the check but holds no number: the standard conversion error, and
    // the field shows the value kept.
    void refuseEmpty(QLineEdit *field, const QString &kept);

    // The elements of the working copy are a table that can be longer than the count: what was
    // typed past a lowered count stays until the next opening.
    int m_count = 1;

    FieldForm *m_colourForm;
    FieldForm *m_settingsForm;
    FieldForm *m_countForm;
    FieldForm *m_elementForm;
    Navigator *m_colours;
    Navigator *m_elements;
};
