#pragma once

#include "editorwindow.h"
#include "navigator.h"

#include <optional>

// The base of the dialogs that edit values handed to them: each opening takes a working copy
// of the caller's values, Apply hands it back and leaves the dialog open, Close (the close box,
// Escape) drops it. A subclass holds the caller's values and the working copy; this class runs
// the order of the steps.
class SettingsWindow : public EditorWindow
{
    Q_OBJECT

public:
    // Takes the working copy and shows it at entry 1 of every navigator.
    void load();
    // load, then the window, modally.
    void edit();
    // The field being edited is checked, the shown fields kept, the working copy checked as a
    // whole and handed back. False, with nothing handed back, when any step refuses.
    bool apply();

protected:
    struct Hints
    {
        QString apply;
        QString close;
        QString closeText = QStringLiteral("&Close");
    };
    SettingsWindow(UserDialogs &dialogs, const QString &title, const QString &name,
                   const Hints &hints, QWidget *parent);

    // The dialog's own controls, above the Apply and Close buttons.
    void setContent(QLayout *content);
    // A navigator whose moves keep the shown fields and refill the window.
    Navigator *addNavigator(const Navigator::Look &look, QWidget *parent = nullptr);

    // The caller's values into the working copy.
    virtual void takeWorkingCopy() = 0;
    // The working copy into the fields, at the navigators' indices.
    virtual void refill() = 0;
    // Every shown field into the working copy; false refuses (the subclass says why).
    virtual bool keepShown() = 0;
    struct Refusal
    {
        QString message;
        QWidget *field = nullptr; // gets the focus
    };
    // What Apply refuses in the working copy as a whole.
    virtual std::optional<Refusal> validate() const { return std::nullopt; }
    // The working copy into the caller's values.
    virtual void handBack() = 0;

private:
    QAbstractButton *m_apply;
    QAbstractButton *m_close;
    bool m_loaded = false;
};
