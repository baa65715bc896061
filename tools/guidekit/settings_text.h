#pragma once
// The text of a guide's settings file: its caption and window size first,
// then the movie's own pairs from a settings file among the assets.

#include <string>

#include "tools/guidekit/guide_rules.h"

namespace guidekit {

// "&title=…&", "&width=…&" and "&height=…&" on lines of their own; the
// program stops reading after "height", the movie reads on. The pairs of
// `assetText` (a settings file the author wrote for the movie) follow, except
// the three given here. `title` is already in the program's code page.
std::string SettingsText(const std::string& title, const WindowSize& size, const std::string& assetText = {});

}  // namespace guidekit
