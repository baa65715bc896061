#pragma once
// The engine's file host over Win32: files below the movie's folder, opened
// segment by segment from the folder's handle; no link, junction or other
// reparse point is followed, so nothing outside the folder is read.

#include <string>

#include "swf/files/file_host.h"

namespace control {

class FolderFileHost : public swf::FileHost {
public:
    // `folder`: the folder holding the movie, without a trailing separator.
    explicit FolderFileHost(std::wstring folder);

    swf::FileReadResult ReadFile(const std::string& relativePath, std::size_t maxBytes) override;
    // Keeps the file open and reads only the pieces asked for, under the same rules.
    swf::FileOpenResult OpenFile(const std::string& relativePath) override;

private:
    std::wstring folder_;
};

// The folder part of a local movie path ("C:\Guides\Intro.swf" -> "C:\Guides");
// empty when the path has none.
std::wstring FolderOfPath(const std::wstring& path);

}  // namespace control
