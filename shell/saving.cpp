#include "saving.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

SavingWindow::SavingWindow(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(u"saving"_s);
    setWindowTitle(u"Saving table file"_s);
    setFixedSize(171, 58);
    setStyleSheet(u"QDialog { background: black; } QLabel { color: white; }"_s);

    auto *wait = new QLabel(u"Please wait"_s, this);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_bar->setFixedSize(150, 13);
    m_bar->setAccessibleName(u"Progress"_s);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(wait, 0, Qt::AlignHCenter);
    layout->addWidget(m_bar, 0, Qt::AlignHCenter);
}

void SavingWindow::setProgress(int percent)
{
    // One synchronous paint per change: the bar's own repaint would come on top of ours.
    m_bar->setUpdatesEnabled(false);
    m_bar->setValue(percent);
    m_bar->setUpdatesEnabled(true);
    m_bar->repaint();
}
