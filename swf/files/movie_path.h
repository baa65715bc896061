#pragma once
// Which files a movie may read: only those in its own folder and below it.
// Scripts name them by relative paths or relative "file:" URLs; everything
// that could reach elsewhere (absolute paths, drives, "..", UNC, device
// names, data streams, other URL schemes) is refused here, before any file
// is opened.

#include <string>

namespace swf {

// A movie-relative path split into checked segments and joined with '/'
// ("UserGuide_Page_img/page1.jpg"), or, when refused, empty with *why set.
// A query ("?x=1") is dropped; %XX escapes are decoded once.
std::string ConfineMoviePath(const std::string& url, std::string* why);

}  // namespace swf
