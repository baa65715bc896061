#include "control/movie_log.h"

#include <algorithm>

#include "control/movie_source.h"

namespace control {

namespace {

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int size = static_cast<int>(std::min<std::size_t>(utf8.size(), 1u << 20));
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

}  // namespace

bool MovieLogFileWanted() {
    wchar_t value[8] = {};
    const DWORD length = GetEnvironmentVariableW(L"GUIDEPLAYER_LOG", value, 8);
    if (length == 0 || length >= 8) return length >= 8;  // unset; or long, so not "0"
    return std::wstring(value) != L"0";
}

void MovieLog::Open(const std::wstring& location) {
    Close();
    if (!MovieLogFileWanted()) return;
    const std::wstring path = MovieLocationToPath(location);
    if (path.empty()) return;
    file_.Reset(CreateFileW((path + L".log").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

void MovieLog::Close() {
    file_.Reset();
    written_ = 0;
}

void MovieLog::Write(bool warning, const std::string& utf8) {
    const std::string line = (warning ? "warning: " : "") + utf8 + "\r\n";
    const std::wstring wide = Widen(line);
    if (!wide.empty()) OutputDebugStringW(wide.c_str());
    if (!file_ || written_ >= kMaxFileBytes) return;
    const bool last = written_ + line.size() >= kMaxFileBytes;
    const std::string& out = last ? std::string("log limit reached; later lines are not written\r\n") : line;
    DWORD done = 0;
    if (WriteFile(file_.Get(), out.data(), static_cast<DWORD>(out.size()), &done, nullptr)) written_ += done;
    if (last) written_ = kMaxFileBytes;
}

}  // namespace control
