#include "pageformats.h"

#include "doorpage.h"
#include "soundpage.h"
#include "texturepage.h"

namespace {

template<const PageFormat &format> QByteArray rewriteDeclared(RecordReader &reader)
{
    return PageBody::read(format, reader).record(format);
}

QByteArray rewriteTexture(RecordReader &reader)
{
    return TexturePage::Body::read(reader).record();
}

} // namespace

PageRewrite pageRewriteOf(PageKind kind)
{
    switch (kind) {
    case PageKind::Sound:
        return rewriteDeclared<SoundPage::format>;
    case PageKind::Door:
        return rewriteDeclared<DoorPage::format>;
    case PageKind::Texture:
        return rewriteTexture;
    default:
        return nullptr;
    }
}
