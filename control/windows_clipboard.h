#pragma once
// The window system's clipboard as the engine's text fields use it: Unicode
// text (CF_UNICODETEXT) in, UTF-8 out, and back; what HTML fields copy also
// goes out as HTML.

#include <windows.h>

#include "swf/player/fields/clipboard.h"

namespace control {

class WindowsClipboard final : public swf::Clipboard {
public:
    std::optional<std::string> GetText() override;
    void SetText(const std::string& text) override;
    // Both CF_UNICODETEXT and the registered "HTML Format".
    void SetTextAndHtml(const std::string& text, const std::string& html) override;
};

}  // namespace control
