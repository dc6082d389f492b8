#pragma once

#include <QDialog>

class QProgressBar;

// The saving window: how far the writing of a table file has got.
class SavingWindow : public QDialog
{
    Q_OBJECT

public:
    explicit SavingWindow(QWidget *parent = nullptr);

    // Repaints at once: the save runs on the user-interface thread.
    void setProgress(int percent);
    QProgressBar &progressBar() const { return *m_bar; }

private:
    QProgressBar *m_bar;
};
