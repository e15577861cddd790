#pragma once
// A TrueType font cut down to the glyphs of some characters, so that a page can carry what its text
// needs of a font rather than all of it. The glyphs, their metrics, hinting and kerning pairs stay
// exactly as they were, so the text looks the same.
#include "common/Result.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

// The font (a glyf-outline TrueType font) with the glyphs of `characters` (those it has) and the glyphs
// they are built from, renumbered in their order, named `family`. Its tables: cmap, glyf, head, hhea,
// hmtx, loca, maxp, name (copyright, licence and the new names), OS/2, post (no glyph names), kern (the
// pairs among the glyphs kept), and the hinting tables cvt, fpgm, prep and gasp. Advanced typography
// (GPOS, GSUB) goes: browsers then kern with the kern table, as the program's own renderer does.
CResult<std::vector<uint8_t>> SubsetFont(const uint8_t* font, size_t size,
                                         const std::set<char32_t>& characters, const std::string& family);
