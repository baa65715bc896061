#pragma once
// DefineFont, DefineFont2 and DefineFont3.

#include <memory>
#include <span>

#include "swf/io/shape_parser.h"
#include "swf/model/font.h"

namespace swf {

std::shared_ptr<FontDefinition> ParseDefineFont(std::span<const std::uint8_t> body, EdgeBudget& budget);
// `version` is 2 or 3 (DefineFont3 outlines use a 20x finer em square);
// `movieVersion` decides how the name is encoded.
std::shared_ptr<FontDefinition> ParseDefineFont2(std::span<const std::uint8_t> body, int version, EdgeBudget& budget,
                                                 int movieVersion = 6);

// DefineFontInfo (`infoVersion` 1) and DefineFontInfo2 (2) give a DefineFont's
// glyphs their name, style and character codes; DefineFontName names a font.
// Each returns a copy of the font in `dictionary` with them applied.
std::shared_ptr<FontDefinition> ApplyDefineFontInfo(std::span<const std::uint8_t> body, int infoVersion,
                                                    int movieVersion, const Dictionary& dictionary);
std::shared_ptr<FontDefinition> ApplyDefineFontName(std::span<const std::uint8_t> body, int movieVersion,
                                                    const Dictionary& dictionary);

}  // namespace swf
