#pragma once

#include "pagefields.h"

#include <array>
#include <optional>

// The texture page body: bitmaps, the light it gives off, its surface and motion, 32 flags, an
// optional procedural block (animated effects) and a sound.
namespace TexturePage {

// The declared fields; the procedural block lies between Flags and SoundName.
enum Field {
    Name,
    Bitmap,
    DestroyedBitmap,
    Red,
    Green,
    Blue,
    Alpha,
    Speed,
    USlide,
    VSlide,
    Reflectivity,
    Corona,
    Damage,
    Flags,
    SoundName,
    SoundVolume,
    FieldCount
};

// The "Procedural" flag: the page carries the block.
inline constexpr quint32 proceduralFlag = 1u << 24;

extern const std::array<const char *, 4> coronaItems;
extern const std::array<const char *, 32> flagItems;
extern const std::array<FieldSpec, FieldCount> fields;
extern const PageFormat format;

// The procedural block as the editor holds it: the palette as numbers, everything the page
// stores as u8 or f32 as its text, converted back when written.
struct Procedural
{
    static constexpr int paletteSize = 255;
    static constexpr int maxElements = 8000;

    enum Setting { Heat, Light, Thickness, EvaluationTime, OscillationTime, OscillationValue };
    static constexpr int settingCount = 6;
    enum ElementValue { Type, Frequency, ElementSpeed, Size, X1, Y1, X2, Y2 };
    static constexpr int elementValueCount = 8;
    using Element = std::array<QString, elementValueCount>;

    std::array<quint16, paletteSize> palette {};
    std::array<QString, settingCount> settings;
    // As many as the element count.
    QList<Element> elements;

    // What a texture gets when it is first made procedural: colours 0, settings "0", one
    // element of "0".
    static Procedural defaults();
    static Element zeroElement();

    // An element count above maxElements is a damaged page: TableError, nothing read past it.
    static Procedural read(RecordReader &reader);
    void write(RecordWriter &writer) const;

    bool operator==(const Procedural &) const = default;
};

// The settings and the element values as the procedural window shows them, and the two
// numbers it edits besides: the palette colour and the element count.
extern const std::array<FieldSpec, Procedural::settingCount> settingFields;
extern const std::array<FieldSpec, Procedural::elementValueCount> elementFields;
extern const FieldSpec colourField;
extern const FieldSpec elementCountField;

struct Body
{
    PageBody fields;
    std::optional<Procedural> procedural;

    // A new page: no block.
    static Body blank();
    // The block is read when bit 24 of the flags is set.
    static Body read(RecordReader &reader);
    // The block is written exactly when there is one, and bit 24 of the flags says so, so the
    // record can never announce a block it does not hold.
    void write(RecordWriter &writer) const;
    QByteArray record() const;

    bool operator==(const Body &) const = default;
};

} // namespace TexturePage
