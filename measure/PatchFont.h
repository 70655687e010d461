// A 5 x 7 pixel font of the characters patch IDs are made of (digits and
// capital letters), for marking patches on a picture without a font library.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;
inline constexpr int kGlyphAdvance = kGlyphWidth + 1; // one blank column between glyphs

// Row r of a glyph: bit (kGlyphWidth - 1 - x) set where pixel x is ink.
using Glyph = std::array<std::uint8_t, kGlyphHeight>;

// The glyph of `c` (lower case as upper case); blank for anything else.
const Glyph& GlyphOf(char c);

// The width in pixels of `text` at scale 1.
int TextWidth(std::string_view text);
