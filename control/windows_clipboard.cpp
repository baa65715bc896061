#include "control/windows_clipboard.h"

#include <cstring>

#include "control/html_clipboard_format.h"
#include "win32/wide_text.h"

namespace control {

namespace {

std::wstring Widen(const std::string& utf8) { return win32::WideFromUtf8Replacing(utf8); }

std::string Narrow(const wchar_t* wide, std::size_t length) {
    return win32::Utf8FromWideReplacing(std::wstring_view(wide, length));
}

// A movable block holding a copy of `bytes`; null when there is no memory.
HGLOBAL CopyToBlock(const void* bytes, std::size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block) return nullptr;
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(target, bytes, size);
    GlobalUnlock(block);
    return block;
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

void WindowsClipboard::SetText(const std::string& text) { SetTextAndHtml(text, {}); }

void WindowsClipboard::SetTextAndHtml(const std::string& text, const std::string& html) {
    const std::wstring wide = Widen(text);
    HGLOBAL block = CopyToBlock(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    if (!block) return;
    HGLOBAL htmlBlock = nullptr;
    if (!html.empty()) {
        const std::string data = HtmlClipboardData(html);
        htmlBlock = CopyToBlock(data.c_str(), data.size() + 1);
    }
    if (!OpenClipboard(nullptr)) {
        GlobalFree(block);
        if (htmlBlock) GlobalFree(htmlBlock);
        return;
    }
    EmptyClipboard();
    // The clipboard owns a block once it takes it.
    if (!SetClipboardData(CF_UNICODETEXT, block)) GlobalFree(block);
    static const UINT htmlFormat = RegisterClipboardFormatW(L"HTML Format");
    if (htmlBlock && (htmlFormat == 0 || !SetClipboardData(htmlFormat, htmlBlock))) GlobalFree(htmlBlock);
    CloseClipboard();
}

}  // namespace control
