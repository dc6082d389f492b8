#pragma once

#include <QHash>
#include <QObject>
#include <QSet>

class QPlainTextEdit;
class QWidget;

// Writes the hint of the label or button under the mouse into a window's help memo, and
// empties the memo over the window's panels and background.
class HoverHelp : public QObject
{
    Q_OBJECT

public:
    explicit HoverHelp(QPlainTextEdit *memo);

    // An empty hint empties the memo, like a panel.
    void addHint(QWidget *widget, const QString &hint);
    void addArea(QWidget *area);
    // Writes a text into the memo, for a key whose answer needs saying: it stays until the
    // mouse moves over something else.
    void say(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPlainTextEdit *m_memo;
    QHash<const QObject *, QString> m_hints;
    QSet<const QObject *> m_areas;
};
