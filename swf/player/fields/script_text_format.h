#pragma once
// TextFormat values as scripts give and read them (pixels, 0xRRGGBB colours,
// unset members) turned into the text engine's formats (twips) and back.

#include <cstdint>

#include "swf/actions/text_field_target.h"
#include "swf/model/color.h"
#include "swf/text/text_format.h"

namespace swf {

double ColorNumber(Rgba c);
Rgba ColorFrom(double n, std::uint8_t alpha = 255);

// Every member set.
ScriptTextFormat ScriptFormatOf(const text::TextFormat& f);
// Members that differ between `a` and `b` become unset in `a`.
void KeepCommonMembers(ScriptTextFormat& a, const ScriptTextFormat& b);

// The set members of `s` change `f`; negative sizes and margins are ignored
// as players ignore them.
void ApplyCharacterFormat(const ScriptTextFormat& s, text::TextFormat& f);
void ApplyParagraphFormat(const ScriptTextFormat& s, text::TextFormat& f);
bool HasParagraphFormat(const ScriptTextFormat& s);

}  // namespace swf
