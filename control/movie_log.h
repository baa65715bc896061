#pragma once
// The movie's log: trace() lines and the player's warnings. Every line goes
// to the debugger (OutputDebugString); when the user switches the log on
// (environment variable GUIDEPLAYER_LOG set to anything but "" or "0"), it
// is also appended to a file beside the movie: the movie's path + ".log",
// UTF-8, one line per entry, written through at once.

#include <windows.h>

#include <cstdint>
#include <string>

#include "win32/owned_handle.h"

namespace control {

// Whether the user asked for the file log.
bool MovieLogFileWanted();

class MovieLog {
public:
    MovieLog() = default;
    ~MovieLog() { Close(); }
    MovieLog(const MovieLog&) = delete;
    MovieLog& operator=(const MovieLog&) = delete;

    // Starts the log of the movie a Movie value names; the file is opened
    // when the log is wanted and the movie is a local file.
    void Open(const std::wstring& location);
    void Close();
    void Write(bool warning, const std::string& utf8);

    // Bytes written to one movie's file at most; then a last line says so.
    static constexpr std::uint64_t kMaxFileBytes = 16ull * 1024 * 1024;

private:
    win32::OwnedHandle file_;
    std::uint64_t written_ = 0;
};

}  // namespace control
