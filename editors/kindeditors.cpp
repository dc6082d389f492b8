#include "kindeditors.h"

#include "doors.h"
#include "generics.h"
#include "ships.h"
#include "sounds.h"
#include "textures.h"
#include "weapons.h"

#include <type_traits>

namespace {

template<typename Editor>
PageEditor *make(PageLists &lists, UserDialogs &dialogs, SharedDialogs &shared, QWidget *parent)
{
    if constexpr (std::is_constructible_v<Editor, PageLists &, UserDialogs &, SharedDialogs &,
                                          QWidget *>)
        return new Editor(lists, dialogs, shared, parent);
    else
        return new Editor(lists, dialogs, parent);
}

constexpr std::array kEditors = {
    KindEditor { PageKind::Texture, make<TextureEditor> },
    KindEditor { PageKind::Sound, make<SoundEditor> },
    KindEditor { PageKind::Weapon, make<WeaponEditor> },
    KindEditor { PageKind::Generic, make<GenericEditor> },
    KindEditor { PageKind::Door, make<DoorEditor> },
    KindEditor { PageKind::Ship, make<ShipEditor> },
};

} // namespace

std::span<const KindEditor> kindEditors()
{
    return kEditors;
}

const KindEditor *kindEditor(PageKind kind)
{
    for (const KindEditor &entry : kEditors)
        if (entry.kind == kind)
            return &entry;
    return nullptr;
}
