#include "pagekinds.h"

#include <QString>

using namespace Qt::StringLiterals;

namespace {

constexpr std::array<KindInfo, 7> kKinds = { {
    { PageKind::Texture, 7, "textures.$$$"_L1, 3000, "texture"_L1 },
    { PageKind::Sound, 1, "sounds.$$$"_L1, 1000, "sound"_L1 },
    { PageKind::Weapon, 8, "weapons.$$$"_L1, 150, "weapon"_L1 },
    { PageKind::Generic, 27, "generics.$$$"_L1, 1500, "generic"_L1 },
    { PageKind::Door, 3, "doors.$$$"_L1, 100, "door"_L1 },
    { PageKind::Ship, 6, "ships.$$$"_L1, 100, "ship"_L1 },
    { PageKind::PassThrough, 2, {}, 1000, "passthrough"_L1 },
} };

} // namespace

int kindIndex(PageKind kind)
{
    switch (kind) {
    case PageKind::Texture:
        return 0;
    case PageKind::Sound:
        return 1;
    case PageKind::Weapon:
        return 2;
    case PageKind::Generic:
        return 3;
    case PageKind::Door:
        return 4;
    case PageKind::Ship:
        return 5;
    case PageKind::PassThrough:
        return 6;
    }
    Q_UNREACHABLE();
    return 0;
}

const KindInfo &kindInfo(PageKind kind)
{
    return kKinds[kindIndex(kind)];
}

std::optional<PageKind> acceptedKind(quint8 kindByte)
{
    for (const KindInfo &info : kKinds) {
        if (quint8(info.kind) == kindByte)
            return info.kind;
    }
    return std::nullopt;
}
