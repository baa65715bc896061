// Files below one folder, opened one path segment at a time from the
// folder's own descriptor, never following a symbolic link: nothing outside
// the folder is ever opened, and nothing can be swapped in between a check
// and the read, because there is no separate check. Hard links cannot be told
// from the file itself; the folder's owner decides what is linked there.
#include "swf/files/native_file_host.h"

#include <algorithm>
#include <limits>
#include <system_error>
#include <utility>

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

FileOpenResult OpenFailure(std::string error) {
    FileOpenResult result;
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

// One read call asks for at most this much, well inside what every system takes.
constexpr std::size_t kMaxReadCall = std::size_t{1} << 30;

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
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            if (fd_ >= 0) ::close(fd_);
            fd_ = std::exchange(other.fd_, -1);
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

// A plain file below the movie's folder, open, and its size then; or why not.
struct FileBelow {
    Descriptor file;
    std::uint64_t size = 0;
    std::string error;
};

FileBelow Refused(std::string error) {
    FileBelow result;
    result.error = std::move(error);
    return result;
}

// The folder holding the last segment, opened from `folder` one segment at a
// time; invalid, with `error` set, when a segment is missing or a link.
Descriptor OpenParentFolder(const std::filesystem::path& folder, const std::vector<std::string>& segments,
                            const std::string& relativePath, std::string* error) {
    Descriptor at(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!at.valid()) {
        *error = "the movie's folder cannot be found";
        return at;
    }
    for (std::size_t i = 0; i + 1 < segments.size(); ++i) {
        Descriptor next(::openat(at.get(), segments[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next.valid()) {
            int failure = errno;
            // A link to a folder fails as "not a folder"; say what it is.
            struct stat info {};
            if (failure == ENOTDIR && ::fstatat(at.get(), segments[i].c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISLNK(info.st_mode)) {
                failure = ELOOP;
            }
            *error = OpenError(failure, relativePath);
            return next;
        }
        at = std::move(next);
    }
    return at;
}

// Opens `relativePath` below `folder` without following any link; `opens`
// counts the files opened.
FileBelow OpenFileBelow(const std::filesystem::path& folder, const std::string& relativePath, std::size_t* opens) {
    const std::vector<std::string> segments = Segments(relativePath);
    if (segments.empty()) return Refused("not a path below the movie's folder: " + relativePath);
    std::string error;
    const Descriptor parent = OpenParentFolder(folder, segments, relativePath, &error);
    if (!parent.valid()) return Refused(std::move(error));
    // Non-blocking, so that a pipe or device does not hold the player up
    // before it is found to be no file.
    const int fd = ::openat(parent.get(), segments.back().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Refused(OpenError(errno, relativePath));
    ++*opens;
    FileBelow result;
    result.file = Descriptor(fd);
    struct stat info {};
    if (::fstat(result.file.get(), &info) != 0) return Refused("cannot read " + relativePath);
    if (!S_ISREG(info.st_mode)) return Refused("not a file: " + relativePath);
    result.size = static_cast<std::uint64_t>(info.st_size);
    return result;
}

// Pieces read from a descriptor held open, each at its own offset.
class DescriptorFile final : public OpenedFile {
public:
    DescriptorFile(Descriptor file, std::uint64_t size) : file_(std::move(file)), size_(size) {}
    std::uint64_t Size() const override { return size_; }

    std::optional<std::size_t> ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) override {
        std::size_t done = 0;
        while (done < into.size()) {
            const std::uint64_t at = offset + done;
            // No file reaches past the largest offset: that is its end.
            if (at > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) break;
            const std::size_t want = std::min(into.size() - done, kMaxReadCall);
            const ssize_t got = ::pread(file_.get(), into.data() + done, want, static_cast<off_t>(at));
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) return std::nullopt;
            if (got == 0) break;
            done += static_cast<std::size_t>(got);
        }
        return done;
    }

private:
    Descriptor file_;
    std::uint64_t size_;
};

#else

// A plain file below the movie's folder and its size; or why not.
struct FileBelow {
    std::filesystem::path path;
    std::uint64_t size = 0;
    std::string error;
};

FileBelow Refused(std::string error) {
    FileBelow result;
    result.error = std::move(error);
    return result;
}

// The Windows program reads through the control's own folder host; this one
// serves the engine's tools there and follows the same rule by path: no
// segment may be a link or junction.
FileBelow FindFileBelow(const std::filesystem::path& folder, const std::string& relativePath) {
    namespace fs = std::filesystem;
    const std::vector<std::string> segments = Segments(relativePath);
    if (segments.empty()) return Refused("not a path below the movie's folder: " + relativePath);
    std::error_code ec;
    FileBelow result;
    result.path = folder;
    for (const std::string& segment : segments) {
        result.path /= fs::path(std::u8string(segment.begin(), segment.end()));
        if (fs::is_symlink(fs::symlink_status(result.path, ec)))
            return Refused("a symbolic link on the way is not followed: " + relativePath);
        if (ec) return Refused("file not found: " + relativePath);
    }
    if (!fs::is_regular_file(result.path, ec)) return Refused("not a file: " + relativePath);
    result.size = fs::file_size(result.path, ec);
    if (ec) return Refused("cannot read " + relativePath);
    return result;
}

// Pieces read from a stream held open, seeking to each.
class StreamFile final : public OpenedFile {
public:
    StreamFile(std::ifstream stream, std::uint64_t size) : stream_(std::move(stream)), size_(size) {}
    std::uint64_t Size() const override { return size_; }

    std::optional<std::size_t> ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) override {
        if (offset > static_cast<std::uint64_t>(std::numeric_limits<std::streamoff>::max())) return 0;
        stream_.clear();
        stream_.seekg(static_cast<std::streamoff>(offset));
        if (!stream_) return std::nullopt;
        std::size_t done = 0;
        while (done < into.size()) {
            const std::size_t want = std::min(into.size() - done, kMaxReadCall);
            stream_.read(reinterpret_cast<char*>(into.data() + done), static_cast<std::streamsize>(want));
            const auto got = static_cast<std::size_t>(stream_.gcount());
            done += got;
            if (got < want) break;
        }
        if (stream_.bad()) return std::nullopt;
        return done;
    }

private:
    std::ifstream stream_;
    std::uint64_t size_;
};

#endif

}  // namespace

NativeFileHost::NativeFileHost(std::filesystem::path folder) : folder_(std::move(folder)) {}

#if !defined(_WIN32)

FileReadResult NativeFileHost::ReadFile(const std::string& relativePath, std::size_t maxBytes) {
    FileBelow below = OpenFileBelow(folder_, relativePath, &opens_);
    if (!below.file.valid()) return Failure(std::move(below.error));
    if (below.size > maxBytes) return Failure("the file is too large: " + relativePath);
    FileReadResult result;
    result.bytes.resize(static_cast<std::size_t>(below.size));
    DescriptorFile file(std::move(below.file), below.size);
    if (file.ReadAt(0, result.bytes) != result.bytes.size()) return Failure("cannot read " + relativePath);
    result.ok = true;
    return result;
}

FileOpenResult NativeFileHost::OpenFile(const std::string& relativePath) {
    FileBelow below = OpenFileBelow(folder_, relativePath, &opens_);
    if (!below.file.valid()) return OpenFailure(std::move(below.error));
    FileOpenResult result;
    result.file = std::make_unique<DescriptorFile>(std::move(below.file), below.size);
    return result;
}

#else

FileReadResult NativeFileHost::ReadFile(const std::string& relativePath, std::size_t maxBytes) {
    const FileBelow below = FindFileBelow(folder_, relativePath);
    if (!below.error.empty()) return Failure(below.error);
    if (below.size > maxBytes) return Failure("the file is too large: " + relativePath);
    ++opens_;
    std::ifstream file(below.path, std::ios::binary);
    if (!file) return Failure("cannot open " + relativePath);
    FileReadResult result;
    result.bytes.resize(static_cast<std::size_t>(below.size));
    file.read(reinterpret_cast<char*>(result.bytes.data()), static_cast<std::streamsize>(below.size));
    if (static_cast<std::uint64_t>(file.gcount()) != below.size) return Failure("cannot read " + relativePath);
    result.ok = true;
    return result;
}

FileOpenResult NativeFileHost::OpenFile(const std::string& relativePath) {
    FileBelow below = FindFileBelow(folder_, relativePath);
    if (!below.error.empty()) return OpenFailure(std::move(below.error));
    ++opens_;
    std::ifstream file(below.path, std::ios::binary);
    if (!file) return OpenFailure("cannot open " + relativePath);
    FileOpenResult result;
    result.file = std::make_unique<StreamFile>(std::move(file), below.size);
    return result;
}

#endif

}  // namespace swf
