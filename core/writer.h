#pragma once

#include <QString>

#include <functional>

class Workspace;

// Called with the whole-number percentage of pages written, each time it changes.
using SaveProgress = std::function<void(int percent)>;

// Writes a new table file: the current record of every page, kind by kind (texture, sound,
// weapon, generic, door, ship, pass-through) in list order, each copied byte for byte from
// the loaded table file or its working file, with the kind byte of its kind. The target is
// replaced only when the whole file is written; failures throw TableError. The workspace
// holds at least one page: Workspace::save, the one caller, says "Nothing to save!" first.
void writeTableFile(const Workspace &workspace, const QString &target,
                    const SaveProgress &progress = {});
