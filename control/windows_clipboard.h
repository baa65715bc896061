#pragma once
// The window system's clipboard as the engine's text fields use it: Unicode
// text (CF_UNICODETEXT) in, UTF-8 out, and back.

#include <windows.h>

#include "swf/player/clipboard.h"

namespace control {

class WindowsClipboard final : public swf::Clipboard {
public:
    std::optional<std::string> GetText() override;
    void SetText(const std::string& text) override;
};

}  // namespace control
