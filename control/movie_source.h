#pragma once
// Reads the movie the Movie property names: a local path, or a file: URL.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace control {

// A movie file larger than this is not read.
inline constexpr std::uint64_t kMaxMovieFileBytes = 256ull * 1024 * 1024;

// The local path a Movie value names: the value itself, or the path of a
// "file:" URL (with "/" as "\" and %XX escapes decoded); empty for other URLs.
std::wstring MovieLocationToPath(const std::wstring& location);

// The full path of the folder holding the movie a Movie value names; empty
// for URLs that name no local file.
std::wstring MovieFolder(const std::wstring& location);

// The movie's address as its scripts read it in _url: a URL as given, a
// local path as its full "file:" URL.
std::string MovieUrl(const std::wstring& location);

// Whether a Movie value is relative: neither a URL, nor a path from a drive
// or a root.
bool IsRelativeLocation(const std::wstring& location);

// The folder of a container document's location (a path or a file: URL),
// with its trailing separator; empty for other URLs.
std::wstring DocumentFolder(const std::wstring& document);

// A relative Movie value against a base: a folder path, a file: URL of a
// folder, or another URL (joined with "/").
std::wstring ResolveAgainst(const std::wstring& location, const std::wstring& base);

// The whole file, or nothing when it cannot be read or is too large.
std::optional<std::vector<std::uint8_t>> ReadMovieBytes(const std::wstring& location);

}  // namespace control
