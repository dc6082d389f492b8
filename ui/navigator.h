#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class EditorWindow;
class FieldCheck;
class QAbstractButton;
class QLabel;
class QLineEdit;
class UserDialogs;

// "Previous, i/N, Next" over entries a window shows one at a time. A move checks the field
// being edited and keeps the shown entry before it moves, so no typing is lost; a move of an
// outer level starts its inner levels again at 1.
class Navigator : public QWidget
{
    Q_OBJECT

public:
    struct Button
    {
        QString text = {}; // empty: an arrow
        QString hint = {};
        QString accessibleName = {}; // empty: the text names the button
    };
    struct Look
    {
        Button previous;
        Button next;
        QString counter = QStringLiteral("%1/%2"); // %1 the index, %2 the bound
        // Sizes the counter once, so that the window keeps its size when the bound changes.
        int largestBound = 1;
    };

    // Starts at 1 of largestBound. The buttons get the window's hover help and leave the focus
    // in the field being edited.
    Navigator(EditorWindow &window, const Look &look, QWidget *parent = nullptr);

    // Stores the shown entry before a move; false cancels the move (the hook says why).
    void setKeep(std::function<bool()> keep) { m_keep = std::move(keep); }
    // Shows the entry after a move.
    void setShow(std::function<void()> show) { m_show = std::move(show); }
    // The inner level restarts at 1 whenever this level's index changes.
    void addInner(Navigator *inner);

    // A field that shows the bound and sets it: a count typed there is taken when the field is
    // left with its check passed, before this level moves, and by takeCount. A new count, or
    // the same one typed again and left, keeps the shown entry and shows entry 1. An empty field keeps the count, after the standard
    // conversion error when emptyIsAnError.
    void setCountField(QLineEdit *field, bool emptyIsAnError);
    enum class Count { Kept, Taken, Refused };
    // Takes the count typed as leaving the field would: Refused, after the error box, when the
    // field's check fails. Kept without a count field.
    Count takeCount();

    // 1 to the bound; 1 when the bound is 0.
    int index() const { return m_index; }
    int bound() const { return m_bound; }

    // The code's own moves run neither the check nor the hooks: the caller shows the entry.
    // An index past the new bound comes back to it.
    void setBound(int bound);
    void setIndex(int index);
    // This level and every inner one at 1.
    void reset();

    // The buttons' moves. False when the move did not happen: at the end, a new or refused
    // count, a failed check of the field being edited, or a refused keep.
    bool next() { return step(1); }
    bool previous() { return step(-1); }

    QAbstractButton &previousButton() const { return *m_previous; }
    QAbstractButton &nextButton() const { return *m_next; }
    QLabel &counter() const { return *m_counter; }

private:
    QAbstractButton *makeButton(EditorWindow &window, const Button &look, Qt::ArrowType arrow);
    bool canStep(int by) const;
    bool step(int by);
    // left: the field was left, rather than its count taken by a step.
    Count useCount(bool left);
    void showState();

    UserDialogs &m_dialogs;
    FieldCheck &m_check;
    QString m_format;
    QAbstractButton *m_previous;
    QLabel *m_counter;
    QAbstractButton *m_next;
    QList<Navigator *> m_inner;
    std::function<bool()> m_keep;
    std::function<void()> m_show;
    QLineEdit *m_countField = nullptr;
    bool m_emptyCountIsAnError = false;
    int m_index = 1;
    int m_bound;
};
