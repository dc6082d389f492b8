#pragma once

#include "layout.h"

#include <array>

// The texture page body: bitmaps, the light it gives off, its surface and motion, 32 flags, an
// optional procedural block (animated effects) and a sound.
namespace TexturePage {

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
    Procedural, // the block, present when the "Procedural" flag is set
    SoundName,
    SoundVolume,
    ItemCount
};

// The "Procedural" flag: the page carries the block.
inline constexpr quint32 proceduralFlag = 1u << 24;

extern const std::array<ChoiceItem, 4> coronaItems;
extern const std::array<const char *, 32> flagItems;
extern const Layout layout;

// The procedural block: a palette of 255 colours, six settings and up to 8000 elements.
namespace ProceduralBlock {

enum Field {
    Palette, // 255 entries of one colour
    Heat,
    Light,
    Thickness,
    EvaluationTime,
    OscillationTime,
    OscillationValue,
    ElementCount,
    Elements, // as many as the count
    ItemCount
};
inline constexpr int settingCount = ElementCount - Heat;
inline constexpr int paletteSize = 255;
inline constexpr int maxElements = 8000;

extern const Layout layout;
// One palette entry: its 16-bit colour.
extern const Layout colourLayout;

// One element.
enum ElementValue { Type, Frequency, ElementSpeed, Size, X1, Y1, X2, Y2, ElementValueCount };
extern const Layout elementLayout;

// What a texture gets when it is first made procedural: colours 0, settings 0, one element of 0.
Values defaults();

} // namespace ProceduralBlock

} // namespace TexturePage
