#include "kindeditors.h"

#include "doors.h"
#include "sounds.h"
#include "textures.h"

namespace {

template<typename Editor>
PageEditor *make(Workspace &workspace, UserDialogs &dialogs, QWidget *parent)
{
    return new Editor(workspace, dialogs, parent);
}

constexpr std::array kEditors = {
    KindEditor { PageKind::Texture, make<TextureEditor> },
    KindEditor { PageKind::Sound, make<SoundEditor> },
    KindEditor { PageKind::Door, make<DoorEditor> },
};

} // namespace

std::span<const KindEditor> kindEditors()
{
    return kEditors;
}
