#pragma once

#include <QLatin1StringView>
#include <QtGlobal>

#include <array>
#include <optional>

// The page kinds a table file carries, as the kind byte of their page header.
enum class PageKind : quint8 {
    Texture = 1,
    Weapon = 2,
    Door = 5,
    Ship = 6,
    Sound = 7,
    PassThrough = 9,
    Generic = 10,
};

struct KindInfo
{
    PageKind kind;
    quint16 version; // the one body layout the program reads and writes
    QLatin1StringView workingFile; // empty for pass-through pages, which are never edited
    int capacity; // a full table of the game; the directory grows past it
    QLatin1StringView name; // short name used by the command-line tool
    int nameOffset = 0; // where the page name starts in the body
};

// Every kind the loader accepts, in the order in which the editors' lists are built and the
// writer lays out a table file: texture, sound, weapon, generic, door, ship, pass-through.
inline constexpr std::array<KindInfo, 7> kKinds = { {
    { PageKind::Texture, 7, QLatin1StringView("textures.$$$"), 3000, QLatin1StringView("texture") },
    { PageKind::Sound, 1, QLatin1StringView("sounds.$$$"), 1000, QLatin1StringView("sound") },
    { PageKind::Weapon, 8, QLatin1StringView("weapons.$$$"), 150, QLatin1StringView("weapon") },
    // A generic page carries its object type before the name.
    { PageKind::Generic, 27, QLatin1StringView("generics.$$$"), 1500, QLatin1StringView("generic"),
      1 },
    { PageKind::Door, 3, QLatin1StringView("doors.$$$"), 100, QLatin1StringView("door") },
    { PageKind::Ship, 6, QLatin1StringView("ships.$$$"), 100, QLatin1StringView("ship") },
    { PageKind::PassThrough, 2, {}, 1000, QLatin1StringView("passthrough") },
} };

template<size_t N> constexpr std::array<PageKind, N> firstKinds()
{
    std::array<PageKind, N> kinds {};
    for (size_t i = 0; i < N; ++i)
        kinds[i] = kKinds[i].kind;
    return kinds;
}

inline constexpr std::array<PageKind, kKinds.size()> kTableOrder = firstKinds<kKinds.size()>();

// The six kinds that have an editor, in list order: the table order without pass-through.
inline constexpr std::array<PageKind, kKinds.size() - 1> kEditedKinds =
    firstKinds<kKinds.size() - 1>();

// Position of the kind in kTableOrder; also indexes per-kind tables.
constexpr int kindIndex(PageKind kind)
{
    int i = 0;
    while (i + 1 < int(kKinds.size()) && kKinds[i].kind != kind)
        ++i;
    return i;
}

constexpr const KindInfo &kindInfo(PageKind kind)
{
    return kKinds[kindIndex(kind)];
}

// The kind a kind byte names, when the loader accepts that kind at all.
constexpr std::optional<PageKind> acceptedKind(quint8 kindByte)
{
    for (const KindInfo &info : kKinds) {
        if (quint8(info.kind) == kindByte)
            return info.kind;
    }
    return std::nullopt;
}

static_assert(kKinds.back().kind == PageKind::PassThrough, "pass-through pages come last");

inline bool isEdited(PageKind kind)
{
    return kind != PageKind::PassThrough;
}

// Page header: kind u8, length u32 (bytes after the kind byte), version u16, all little-endian.
namespace RecordHeader {
inline constexpr int kindSize = 1;
inline constexpr int lengthSize = 4;
inline constexpr int size = 7; // kind + length + version
inline constexpr quint32 minimumLength = 6; // the length field and the version count themselves
} // namespace RecordHeader

// The files of the workspace besides the working files.
namespace WorkspaceFile {
inline constexpr QLatin1StringView clipboard { "copy.$$$" };
inline constexpr QLatin1StringView backup { "backup.$$$" };
inline constexpr QLatin1StringView temp { "temp.$$$" };
// The session journal: what the page directory became after each change since the last load,
// New or save over the loaded file, so that a crash loses nothing acknowledged.
inline constexpr QLatin1StringView journal { "session.$$$" };
// Left while the journal is kept for a later start: that start asks about it again, though the
// session that kept it ended as sessions do.
inline constexpr QLatin1StringView kept { "kept.$$$" };
// Held while the program runs; removed when it ends, whatever the file then holds.
inline constexpr QLatin1StringView lock { "vkcp.lock" };
} // namespace WorkspaceFile
