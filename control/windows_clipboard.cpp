#include "control/windows_clipboard.h"

#include <cstring>

#include "win32/wide_text.h"

namespace control {

namespace {

std::wstring Widen(const std::string& utf8) { return win32::WideFromUtf8Replacing(utf8); }

std::string Narrow(const wchar_t* wide, std::size_t length) {
    return win32::Utf8FromWideReplacing(std::wstring_view(wide, length));
}

}  // namespace

std::optional<std::string> WindowsClipboard::GetText() {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(nullptr)) return std::nullopt;
    std::optional<std::string> text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
            // The text ends at its terminator or at the block's end, whichever comes first.
            const std::size_t capacity = GlobalSize(data) / sizeof(wchar_t);
            std::size_t length = 0;
            while (length < capacity && wide[length] != L'\0') ++length;
            text = Narrow(wide, length);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void WindowsClipboard::SetText(const std::string& text) {
    const std::wstring wide = Widen(text);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
    if (!block) return;
    if (auto* target = static_cast<wchar_t*>(GlobalLock(block))) {
        std::memcpy(target, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(block);
    }
    if (!OpenClipboard(nullptr)) {
        GlobalFree(block);
        return;
    }
    EmptyClipboard();
    // The clipboard owns the block once it takes it.
    if (!SetClipboardData(CF_UNICODETEXT, block)) GlobalFree(block);
    CloseClipboard();
}

}  // namespace control
