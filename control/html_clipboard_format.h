#pragma once
// The window system's "HTML Format" clipboard data: UTF-8 HTML behind a
// header of byte offsets to the document and to the fragment copied.

#include <string>

namespace control {

// `fragment` (UTF-8 markup) wrapped in a document and framed with the header.
std::string HtmlClipboardData(const std::string& fragment);

}  // namespace control
