#include "control/movie_log.h"

#include <algorithm>

#include "control/movie_source.h"
#include "win32/wide_text.h"

namespace control {

namespace {

// At most the first MiB of a line goes to the debugger.
std::wstring Widen(const std::string& utf8) {
    return win32::WideFromUtf8Replacing(std::string_view(utf8).substr(0, std::size_t{1} << 20));
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
