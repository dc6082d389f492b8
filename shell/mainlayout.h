#pragma once

#include "pageformats.h"

#include <QPoint>
#include <QRect>

// Where the main window puts each editor's hot area and label, in window coordinates. The
// artwork tool draws the panels behind them from the same table.
struct EditorArea
{
    PageKind kind;
    QPoint labelAt;
    QRect place;
};

inline constexpr std::array<EditorArea, 6> kEditorAreas = { {
    { PageKind::Texture, { 96, 128 }, { 24, 88, 121, 89 } },
    { PageKind::Sound, { 224, 264 }, { 192, 200, 105, 89 } },
    { PageKind::Weapon, { 328, 136 }, { 320, 96, 177, 89 } },
    { PageKind::Generic, { 216, 160 }, { 192, 80, 97, 105 } },
    { PageKind::Door, { 96, 240 }, { 24, 200, 121, 89 } },
    { PageKind::Ship, { 344, 232 }, { 320, 184, 177, 105 } },
} };

constexpr const EditorArea &editorArea(PageKind kind)
{
    return kEditorAreas[kindIndex(kind)];
}

// Each label reads as its editor's title.
inline QString editorLabel(PageKind kind)
{
    return QString::fromLatin1(pageFormat(kind).windowTitle);
}
