#pragma once

#include <QDialog>

class FieldCheck;
class HoverHelp;
class QAbstractButton;
class QLayout;
class QPlainTextEdit;
class UserDialogs;

// Places a window at the centre of the screen that onScreenOf is on.
void centreOnScreen(QWidget &window, const QWidget &onScreenOf);

// What every window of the editors shares, page editors and settings windows alike: black
// with white labels, a fixed size and only the system menu; a help memo at the bottom that
// hover help writes; the check of number fields when the focus leaves them.
class EditorWindow : public QDialog
{
    Q_OBJECT

public:
    // name: the window's object name, by which tests and assistive tools find it.
    EditorWindow(UserDialogs &dialogs, const QString &title, const QString &name, QWidget *parent);

    QPlainTextEdit &helpMemo() const { return *m_memo; }

    // Centred on the screen, modally.
    void showModal();

protected:
    UserDialogs &dialogs() const { return m_dialogs; }
    HoverHelp &help() const { return *m_help; }
    FieldCheck &check() const { return *m_check; }

    // The window's content, above the help memo.
    void setContent(QLayout *content);
    // A button with its hover hint that, clicked, leaves the focus in the field being edited;
    // the keyboard still reaches it by Tab.
    template<typename Button> Button *withHint(Button *button, const QString &hint)
    {
        prepareButton(button, hint);
        return button;
    }

private:
    // Its buttons are prepared as withHint prepares them, and a move checks the field being
    // edited.
    friend class Navigator;

    void prepareButton(QAbstractButton *button, const QString &hint);

    UserDialogs &m_dialogs;
    QPlainTextEdit *m_memo;
    HoverHelp *m_help;
    FieldCheck *m_check;
};
