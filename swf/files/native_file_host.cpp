// Files below one folder, opened one path segment at a time from the
// folder's own descriptor, never following a symbolic link: nothing outside
// the folder is ever opened, and nothing can be swapped in between a check
// and the read, because there is no separate check. Hard links cannot be told
// from the file itself; the folder's owner decides what is linked there.
#include "swf/files/native_file_host.h"

#include <system_error>

#if defined(_WIN32)
#include <fstream>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace swf {

namespace {

FileReadResult Failure(std::string error) {
    FileReadResult result;
    result.error = std::move(error);
    return result;
}

// '/'-separated segments; empty when a segment is empty, "." or "..".
std::vector<std::string> Segments(const std::string& relativePath) {
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (true) {
        const std::size_t slash = relativePath.find('/', start);
        std::string segment =
            relativePath.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (segment.empty() || segment == "." || segment == "..") return {};
        segments.push_back(std::move(segment));
        if (slash == std::string::npos) return segments;
        start = slash + 1;
    }
}

#if !defined(_WIN32)

// Closes a descriptor when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            if (fd_ >= 0) ::close(fd_);
            fd_ = other.fd_;
            other.fd_ = -1;
        }
        return *this;
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_;
};

// Why opening a segment failed, as the movie's log says it.
std::string OpenError(int error, const std::string& relativePath) {
    switch (error) {
    case ELOOP:
    case EMLINK: return "a symbolic link on the way is not followed: " + relativePath;
    case ENOENT: return "file not found: " + relativePath;
    case ENOTDIR: return "not a folder on the way: " + relativePath;
    default: return "cannot open " + relativePath;
    }
}

#endif

}  // namespace

NativeFileHost::NativeFileHost(std::filesystem::path folder) : folder_(std::move(folder)) {}

#if !defined(_WIN32)

FileReadResult NativeFileHost::ReadFile(const std::string& relativePath, std::size_t maxBytes) {
    const std::vector<std::string> segments = Segments(relativePath);
    if (segments.empty()) return Failure("not a path below the movie's folder: " + relativePath);
    Descriptor folder(::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid()) return Failure("the movie's folder cannot be found");
    for (std::size_t i = 0; i + 1 < segments.size(); ++i) {
        Descriptor next(::openat(folder.get(), segments[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next.valid()) {
            int error = errno;
            // A link to a folder fails as "not a folder"; say what it is.
            struct stat info {};
            if (error == ENOTDIR && ::fstatat(folder.get(), segments[i].c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISLNK(info.st_mode)) {
                error = ELOOP;
            }
            return Failure(OpenError(error, relativePath));
        }
        folder = std::move(next);
    }
    // Non-blocking, so that a pipe or device does not hold the player up
    // before it is found to be no file.
    Descriptor file(::openat(folder.get(), segments.back().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!file.valid()) return Failure(OpenError(errno, relativePath));
    ++opens_;
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) return Failure("cannot read " + relativePath);
    if (!S_ISREG(info.st_mode)) return Failure("not a file: " + relativePath);
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size > maxBytes) return Failure("the file is too large: " + relativePath);
    FileReadResult result;
    result.bytes.resize(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (done < result.bytes.size()) {
        const ssize_t got = ::read(file.get(), result.bytes.data() + done, result.bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return Failure("cannot read " + relativePath);
        done += static_cast<std::size_t>(got);
    }
    result.ok = true;
    return result;
}

#else

// The Windows program reads through the control's own folder host; this one
// serves the engine's tools there and follows the same rule by path: no
// segment may be a link or junction.
FileReadResult NativeFileHost::ReadFile(const std::string& relativePath, std::size_t maxBytes) {
    namespace fs = std::filesystem;
    const std::vector<std::string> segments = Segments(relativePath);
    if (segments.empty()) return Failure("not a path below the movie's folder: " + relativePath);
    std::error_code ec;
    fs::path at = folder_;
    for (const std::string& segment : segments) {
        at /= fs::path(std::u8string(segment.begin(), segment.end()));
        if (fs::is_symlink(fs::symlink_status(at, ec)))
            return Failure("a symbolic link on the way is not followed: " + relativePath);
        if (ec) return Failure("file not found: " + relativePath);
    }
    if (!fs::is_regular_file(at, ec)) return Failure("not a file: " + relativePath);
    const auto size = fs::file_size(at, ec);
    if (ec) return Failure("cannot read " + relativePath);
    if (size > maxBytes) return Failure("the file is too large: " + relativePath);
    ++opens_;
    std::ifstream file(at, std::ios::binary);
    if (!file) return Failure("cannot open " + relativePath);
    FileReadResult result;
    result.bytes.resize(static_cast<std::size_t>(size));
    file.read(reinterpret_cast<char*>(result.bytes.data()), static_cast<std::streamsize>(size));
    if (static_cast<std::size_t>(file.gcount()) != size) return Failure("cannot read " + relativePath);
    result.ok = true;
    return result;
}

#endif

}  // namespace swf
