#include "swf/files/native_file_host.h"

#include <fstream>
#include <system_error>

namespace swf {

namespace {

FileReadResult Failure(std::string error) {
    FileReadResult result;
    result.error = std::move(error);
    return result;
}

// Whether `path` is `folder` itself or lies below it (both canonical).
bool IsInside(const std::filesystem::path& path, const std::filesystem::path& folder) {
    auto p = path.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++p) {
        if (f->empty()) continue;  // a trailing separator
        if (p == path.end() || *p != *f) return false;
    }
    return true;
}

}  // namespace

NativeFileHost::NativeFileHost(std::filesystem::path folder) : folder_(std::move(folder)) {}

FileReadResult NativeFileHost::ReadFile(const std::string& relativePath, std::size_t maxBytes) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path folder = fs::canonical(folder_, ec);
    if (ec) return Failure("the movie's folder cannot be found");
    const fs::path wanted = folder / fs::path(std::u8string(relativePath.begin(), relativePath.end()));
    // Symbolic links inside the folder must not lead out of it.
    const fs::path real = fs::canonical(wanted, ec);
    if (ec) return Failure("file not found: " + relativePath);
    if (!IsInside(real, folder)) return Failure("the file lies outside the movie's folder: " + relativePath);
    if (!fs::is_regular_file(real, ec)) return Failure("not a file: " + relativePath);
    const auto size = fs::file_size(real, ec);
    if (ec) return Failure("cannot read " + relativePath);
    if (size > maxBytes) return Failure("the file is too large: " + relativePath);

    ++opens_;
    std::ifstream file(real, std::ios::binary);
    if (!file) return Failure("cannot open " + relativePath);
    FileReadResult result;
    result.bytes.resize(static_cast<std::size_t>(size));
    file.read(reinterpret_cast<char*>(result.bytes.data()), static_cast<std::streamsize>(size));
    if (static_cast<std::size_t>(file.gcount()) != size) return Failure("cannot read " + relativePath);
    result.ok = true;
    return result;
}

}  // namespace swf
