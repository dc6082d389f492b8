#pragma once

#include "pagekinds.h"

#include <array>

// The texts that set the six page editors apart: the window, the list, the buttons' hints,
// the page files and the version warning.
struct EditorTexts
{
    PageKind kind;
    const char *windowTitle;
    const char *listCaption;
    const char *newPageName;
    const char *pageFileExtension;
    const char *pageFileFilter; // description|pattern pairs, bar-separated
    const char *versionMessage;
    const char *addHint;
    const char *deleteHint;
    const char *applyHint;
    const char *closeHint; // empty: the button has no hint
};

inline constexpr std::array<EditorTexts, 6> kEditorTexts = { {
    { PageKind::Texture, "Textures", "List of textures", "New Texture", "itp",
      "Individual Texture Page(*.itp)|*.itp|All files(*.*)|*.*",
      "This page uses a different version of the texture pages. Data ignored.",
      "Add a new texture page.", "Delete selected texture page.",
      "Apply modifications made to current entry.", "Close the texture dialog." },
    { PageKind::Sound, "Sounds", "List of sounds", "New Sound", "isp",
      "Individual Sound Page(*.isp)|*.isp|All files(*.*)|*.*",
      "This page uses a different version of the sound pages. Data ignored.",
      "Add a new sound page.", "Delete selected sound page.",
      "Apply modifications made to current entry.", "Close the sound dialog." },
    { PageKind::Weapon, "Weapons", "List of weapons", "New Weapon", "iwp",
      "Individual Weapon Page(*.iwp)|*.iwp|All files(*.*)|*.*",
      "This page uses a different version of the weapons pages. Data ignored.",
      "Add a new weapon page.", "Delete selected weapon page.",
      "Apply modifications made to current entry.", "Close the weapons dialog." },
    { PageKind::Generic, "Generics", "List of generics", "New Generic", "igp",
      "Individual Generic Page(*.igp)|*.igp|All files(*.*)|*.*",
      "This page uses a different version of the generics pages. Data ignored.",
      "Add a new generic page.", "Delete selected generic page.",
      "Apply modifications made to current entry.", "Close the generics dialog." },
    { PageKind::Door, "Doors", "List of doors", "New Door", "idp",
      "Individual Door Page(*.idp)|*.idp|All files(*.*)|*.*",
      "This page uses a different version of the doors pages. Data ignored.",
      "Add a new door page.", "Delete selected door page.", "Apply modifications to current entry.",
      "Close the doors dialog." },
    { PageKind::Ship, "Ships", "List of ships", "New Ship", "ihp",
      "Individual Ship Page(*.ihp)|*.ihp|All files(*.*)|*.*",
      "This page uses a different version of the ships pages. Data ignored.",
      "Add a new ship page.", "Delete selected ship page.",
      "Apply modifications made to current entry.", "" },
} };

constexpr const EditorTexts &editorTexts(PageKind kind)
{
    return kEditorTexts[kindIndex(kind)];
}

static_assert([] {
    for (const EditorTexts &texts : kEditorTexts)
        if (kindIndex(texts.kind) != &texts - kEditorTexts.data())
            return false;
    return true;
}());
