#include "control/movie_source.h"

#include "control/folder_file_host.h"
#include "swf/player/loading/movie_url.h"

#include <windows.h>

#include <algorithm>
#include <new>

#include "win32/owned_handle.h"
#include "win32/wide_text.h"

namespace control {

namespace {

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
    const std::size_t length = lstrlenW(prefix);
    return text.size() >= length && CompareStringOrdinal(text.c_str(), static_cast<int>(length), prefix,
                                                         static_cast<int>(length), TRUE) == CSTR_EQUAL;
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// Decodes %XX escapes as UTF-8 bytes.
std::wstring DecodeEscapes(const std::wstring& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
            bytes.push_back(static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2])));
            i += 2;
            continue;
        }
        bytes += win32::Utf8FromWideReplacing(std::wstring_view(&text[i], 1));
    }
    return win32::WideFromUtf8Replacing(bytes);
}

}  // namespace

std::wstring MovieLocationToPath(const std::wstring& location) {
    if (StartsWithNoCase(location, L"file:")) {
        std::wstring rest = location.substr(5);
        // file:///C:/x, file://C:/x and file:/C:/x name the same local file.
        std::size_t slashes = 0;
        while (slashes < rest.size() && rest[slashes] == L'/') ++slashes;
        if (slashes == 2 && rest.find(L':') == std::wstring::npos) {
            rest = L"\\\\" + rest.substr(2);  // file://server/share: a UNC path
        } else {
            rest = rest.substr(slashes);
        }
        for (auto& c : rest)
            if (c == L'/') c = L'\\';
        return DecodeEscapes(rest);
    }
    if (location.find(L"://") != std::wstring::npos) return {};
    return location;
}

std::string MovieUrl(const std::wstring& location) {
    const auto utf8 = [](const std::wstring& text) { return win32::Utf8FromWideReplacing(text); };
    if (location.find(L"://") != std::wstring::npos || StartsWithNoCase(location, L"file:")) return utf8(location);
    const DWORD length = GetFullPathNameW(location.c_str(), 0, nullptr, nullptr);
    std::wstring full(length, L'\0');
    const DWORD written = length == 0 ? 0 : GetFullPathNameW(location.c_str(), length, full.data(), nullptr);
    if (written == 0 || written >= length) return swf::FileUrl(utf8(location));
    full.resize(written);
    return swf::FileUrl(utf8(full));
}

std::wstring MovieFolder(const std::wstring& location) {
    const std::wstring path = MovieLocationToPath(location);
    if (path.empty()) return {};
    const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0) return {};
    std::wstring full(length, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
    if (written == 0 || written >= length) return {};
    full.resize(written);
    return FolderOfPath(full);
}

bool IsRelativeLocation(const std::wstring& location) {
    if (location.empty() || location[0] == L'\\' || location[0] == L'/') return false;
    // "C:..." is a drive; "scheme:..." (two letters or more) a URL.
    const std::size_t colon = location.find(L':');
    if (colon == std::wstring::npos) return true;
    const std::size_t separator = location.find_first_of(L"\\/");
    return separator != std::wstring::npos && separator < colon;
}

std::wstring DocumentFolder(const std::wstring& document) {
    const std::wstring path = MovieLocationToPath(document);
    const std::size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

std::wstring ResolveAgainst(const std::wstring& location, const std::wstring& base) {
    const bool url = base.find(L"://") != std::wstring::npos && !StartsWithNoCase(base, L"file:");
    if (url) return base + (base.back() == L'/' ? L"" : L"/") + location;
    std::wstring folder = MovieLocationToPath(base);
    if (folder.empty()) return location;
    if (folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    std::wstring relative = location;
    for (auto& c : relative)
        if (c == L'/') c = L'\\';
    return folder + relative;
}

std::optional<std::vector<std::uint8_t>> ReadMovieBytes(const std::wstring& location) {
    const std::wstring path = MovieLocationToPath(location);
    if (path.empty()) return std::nullopt;
    const win32::OwnedHandle owned(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!owned) return std::nullopt;
    HANDLE file = owned.Get();
    std::optional<std::vector<std::uint8_t>> result;
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size) && size.QuadPart >= 0 &&
        static_cast<std::uint64_t>(size.QuadPart) <= kMaxMovieFileBytes) {
        try {
            std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
            std::size_t done = 0;
            while (done < bytes.size()) {
                DWORD got = 0;
                const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
                if (!ReadFile(file, bytes.data() + done, want, &got, nullptr) || got == 0) break;
                done += got;
            }
            if (done == bytes.size()) result = std::move(bytes);
        } catch (const std::bad_alloc&) {}
    }
    return result;
}

}  // namespace control
