#pragma once
// How the engine reads the files a movie loads (pages, pictures, variables):
// by a path relative to the movie's folder. The control implements it over
// Win32, tests and swfrender over the native file system.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace swf {

// Files larger than this are not read.
inline constexpr std::size_t kMaxLoadedFileBytes = 128u << 20;

struct FileReadResult {
    bool ok = false;
    std::vector<std::uint8_t> bytes;
    std::string error;  // why not, when !ok
};

class FileHost {
public:
    virtual ~FileHost() = default;
    // `relativePath` is what ConfineMoviePath returned: '/'-separated segments,
    // already checked. Implementations still make sure the file they open lies
    // inside the movie's folder, and read at most `maxBytes`.
    virtual FileReadResult ReadFile(const std::string& relativePath, std::size_t maxBytes) = 0;
};

}  // namespace swf
