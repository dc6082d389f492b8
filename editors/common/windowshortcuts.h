#pragma once

#include <QKeyCombination>
#include <QList>
#include <QObject>

#include <functional>

class QKeySequence;
class QWidget;

// The shortcuts of a window that act on the whole of it. They win over the keys an edit field
// claims for itself (Ctrl+C, Ctrl+V), also in fields added to the window later.
class WindowShortcuts : public QObject
{
public:
    explicit WindowShortcuts(QWidget &window);

    // text names the command for assistive tools.
    void add(const QString &text, const QKeySequence &keys, std::function<void()> command);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &m_window;
    QList<QKeyCombination> m_keys;
};
