#pragma once

#include "check.h"
#include "editorwindow.h"

class QLabel;
class QPushButton;
class QTreeWidget;

// Check table: what `vktable check` finds in the pages as they are now, one finding a row,
// each of which opens its page in the kind's editor.
class CheckWindow : public EditorWindow
{
    Q_OBJECT

public:
    explicit CheckWindow(UserDialogs &dialogs, QWidget *parent = nullptr);

    // Shows findings in place of the last ones, with the row at currentRow current (the last
    // row when there are fewer).
    void setFindings(QList<Finding> findings, int currentRow = 0);
    // -1 when there are no rows.
    int currentRow() const;

    QTreeWidget &findingList() const { return *m_list; }
    QLabel &summary() const { return *m_summary; }
    QPushButton &checkAgainButton() const { return *m_checkAgain; }

signals:
    void checkRequested();
    // Double-click or Enter on a finding whose page the program lists.
    void pageRequested(const Finding &finding);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QList<Finding> m_findings;
    QLabel *m_summary;
    QTreeWidget *m_list;
    QPushButton *m_checkAgain;
};
