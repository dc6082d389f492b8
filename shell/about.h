#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class UserDialogs;

// The about box: the program, its version and its links.
class AboutBox : public QDialog
{
    Q_OBJECT

public:
    AboutBox(UserDialogs &dialogs, QWidget *parent = nullptr);

    QPushButton &okButton() const { return *m_ok; }
    QLabel &webLink() const { return *m_webLink; }
    QLabel &authorLink() const { return *m_authorLink; }

private:
    QPushButton *m_ok;
    QLabel *m_webLink;
    QLabel *m_authorLink;
};
