#pragma once
// Movie URLs as scripts read them in _url: "file:///C|/folder/movie.swf" for a
// file, and a loaded movie's address taken relative to the one that loaded it.

#include <string>
#include <string_view>

namespace swf {

// The file URL of a path: "C:\a b\m.swf" gives "file:///C|/a%20b/m.swf",
// "/tmp/m.swf" gives "file:///tmp/m.swf". Characters outside the URL set are
// percent-encoded byte by byte (UTF-8 stays UTF-8 underneath).
std::string FileUrl(std::string_view path);

// `reference` read from the movie at `base`: a reference with a scheme
// ("http:", "file:") stands alone, one starting with '/' keeps the base's
// scheme and drive, any other replaces the base's last path segment. Backslashes
// count as slashes. An empty base gives the reference unchanged.
std::string ResolveUrl(std::string_view base, std::string_view reference);

}  // namespace swf
