#include "swf/files/file_host.h"

#include <algorithm>
#include <cstring>

namespace swf {

FileOpenResult FileHost::OpenFile(const std::string& relativePath) {
    FileReadResult read = ReadFile(relativePath, kMaxLoadedFileBytes);
    FileOpenResult result;
    if (!read.ok) {
        result.error = std::move(read.error);
        return result;
    }
    result.file = std::make_unique<MemoryFile>(std::move(read.bytes));
    return result;
}

std::optional<std::size_t> MemoryFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) {
    if (offset >= bytes_.size()) return 0;
    const std::size_t count = std::min<std::uint64_t>(into.size(), bytes_.size() - offset);
    if (count != 0) std::memcpy(into.data(), bytes_.data() + offset, count);
    return count;
}

}  // namespace swf
