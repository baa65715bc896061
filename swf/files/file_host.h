#pragma once
// How the engine reads the files a movie loads (pages, pictures, variables,
// videos): by a path relative to the movie's folder. The control implements
// it over Win32, tests and swfrender over the native file system.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace swf {

// Files larger than this are not read whole.
inline constexpr std::size_t kMaxLoadedFileBytes = 128u << 20;

struct FileReadResult {
    bool ok = false;
    std::vector<std::uint8_t> bytes;
    std::string error;  // why not, when !ok
};

// A file open for reading piece by piece, as a video is played while it is
// read: only what is asked for is in memory.
class OpenedFile {
public:
    virtual ~OpenedFile() = default;
    // The file's size when it was opened.
    virtual std::uint64_t Size() const = 0;
    // Reads up to `into.size()` bytes from `offset` on; the count read (fewer
    // only at the end of the file, 0 at or past it), nothing when reading failed.
    virtual std::optional<std::size_t> ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) = 0;
};

struct FileOpenResult {
    std::unique_ptr<OpenedFile> file;  // null when it could not be opened
    std::string error;                 // why not
};

class FileHost {
public:
    virtual ~FileHost() = default;
    // `relativePath` is what ConfineMoviePath returned: '/'-separated segments,
    // already checked. Implementations still make sure the file they open lies
    // inside the movie's folder, and read at most `maxBytes`.
    virtual FileReadResult ReadFile(const std::string& relativePath, std::size_t maxBytes) = 0;
    // Opens a file to read in pieces, confined as ReadFile is, of any size.
    // This default reads the whole file (up to kMaxLoadedFileBytes) through
    // ReadFile and serves the pieces from memory.
    virtual FileOpenResult OpenFile(const std::string& relativePath);
};

// Pieces of bytes already in memory.
class MemoryFile final : public OpenedFile {
public:
    explicit MemoryFile(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    std::optional<std::size_t> ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) override;

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace swf
