#include "pageformats.h"

#include "soundpage.h"

const PageFormat *pageFormatOf(PageKind kind)
{
    switch (kind) {
    case PageKind::Sound:
        return &SoundPage::format;
    default:
        return nullptr;
    }
}
