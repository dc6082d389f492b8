#pragma once

#include <QString>

#include <random>

class Workspace;

// Random edits of a workspace, as the editors make them: Apply, Add, Delete, their undo and
// redo, a rename, a change of several pages at once, New table file and Load of tablePath, in
// five kinds. The same seed on the same table makes the same edits, so a run can be made again.
class RandomEdits
{
public:
    RandomEdits(Workspace &workspace, QString tablePath, unsigned seed);
    ~RandomEdits();

    // Makes one edit and says what it was.
    QString step();

private:
    struct History;
    Workspace &m_workspace;
    QString m_tablePath;
    std::mt19937 m_random;
    int m_steps = 0;
    History *m_history;
};
