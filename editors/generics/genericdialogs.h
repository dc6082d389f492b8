#pragma once

#include "blockwindow.h"
#include "entrieswindow.h"

class FieldForm;
class QLineEdit;

// The windows of the blocks only generic pages have. None writes a file; the generic
// editor's Apply does.

// How a robot thinks, moves and fights.
class AiWindow : public BlockWindow
{
    Q_OBJECT

public:
    explicit AiWindow(UserDialogs &dialogs, QWidget *parent = nullptr);
};

// The two objects a page spews, one slot at a time.
class SpewWindow : public EntriesWindow
{
    Q_OBJECT

public:
    explicit SpewWindow(UserDialogs &dialogs, QWidget *parent = nullptr);
};

// The two sound names and five AI sound names.
class ObjectSoundsWindow : public BlockWindow
{
    Q_OBJECT

public:
    explicit ObjectSoundsWindow(UserDialogs &dialogs, QWidget *parent = nullptr);
};

// The death type count and the death types, one at a time. The working copy holds all four
// slots, so that what was typed in a slot past a lowered count stays until the next opening.
class DeathTypesWindow : public BlockWindow
{
    Q_OBJECT

public:
    explicit DeathTypesWindow(UserDialogs &dialogs, QWidget *parent = nullptr);

    Navigator &navigator() const { return *m_types; }
    QLineEdit *countField() const;
    FieldForm &typeForm() const { return *m_typeForm; }

protected:
    void takeWorkingCopy() override;
    void refill() override;
    bool keepShown() override;
    void handBack() override;

private:
    Values &shownType();
    std::optional<QString> takeCount(const QString &text);

    int m_count = 1;
    FieldForm *m_countForm;
    FieldForm *m_typeForm;
    Navigator *m_types;
};
