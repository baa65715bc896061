#pragma once
// FileHost over the native file system: files below one folder, never
// through a symbolic link (tests, swfrender).

#include <cstddef>
#include <filesystem>

#include "swf/files/file_host.h"

namespace swf {

class NativeFileHost : public FileHost {
public:
    explicit NativeFileHost(std::filesystem::path folder);

    FileReadResult ReadFile(const std::string& relativePath, std::size_t maxBytes) override;
    // Keeps the file open and reads only the pieces asked for.
    FileOpenResult OpenFile(const std::string& relativePath) override;

    // How many files were opened, to read whole or in pieces (tests check that refused paths open none).
    std::size_t OpenCount() const { return opens_; }

private:
    std::filesystem::path folder_;
    std::size_t opens_ = 0;
};

}  // namespace swf
