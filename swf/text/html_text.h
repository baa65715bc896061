#pragma once
// The HTML subset text fields understand: <p align>, <br>, <b>, <i>, <u>,
// <font face size color>, <a href target>, <li>, <textformat ...> and
// <span class>, with character entities. Unknown tags are ignored; malformed
// markup never fails: what cannot be read as a tag is kept as text.

#include <string>

#include "swf/text/text_format.h"

namespace swf::text {

// Runs for a field's HTML text (UTF-8), starting from the field's own format.
FormattedText ParseHtmlText(const std::string& html, const TextFormat& base);

// HTML describing runs, as a field reports its htmlText: one <P> per
// paragraph with <FONT> (and <B>, <I>, <U>, <A>) around each run.
std::string FormatHtmlText(const FormattedText& runs);

}  // namespace swf::text
