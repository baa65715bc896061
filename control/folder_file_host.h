#pragma once
// The engine's file host over Win32: files below the movie's folder, read
// with wide paths. After opening, the file's final path is checked to lie
// inside the folder's final path, so a junction or symbolic link inside the
// folder cannot lead out of it.

#include <string>

#include "swf/files/file_host.h"

namespace control {

class FolderFileHost : public swf::FileHost {
public:
    // `folder`: the folder holding the movie, without a trailing separator.
    explicit FolderFileHost(std::wstring folder);

    swf::FileReadResult ReadFile(const std::string& relativePath, std::size_t maxBytes) override;

private:
    std::wstring folder_;
};

// The folder part of a local movie path ("C:\Guides\Intro.swf" -> "C:\Guides");
// empty when the path has none.
std::wstring FolderOfPath(const std::wstring& path);

}  // namespace control
