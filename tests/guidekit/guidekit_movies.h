#pragma once
// Movies for guidekit's tests, written field by field.

#include <cstdint>
#include <string>
#include <vector>

namespace guidekit {

// 200 x 150 stage at 12 fps, version 8, three frames: the font "Guide Sans"
// (id 1, the writer's block font), a rectangle (id 2) exported as
// "BoxSymbol", a sprite (id 3) whose one frame pushes "clip.swf", frame 1's
// actions with the pool "Refs_Page_img/data.txt" and "../outside.swf", and
// frame 2's pushing "not a file".
std::vector<std::uint8_t> ReferencesMovie();
// The bytes of its three action blocks together.
std::size_t ReferencesMovieActionBytes();

// A movie with an unknown tag (code 200) before its first frame that, on
// frame `frame` (from 1), loads variables from `url` into _level0 and stops.
std::vector<std::uint8_t> LoadOnFrameMovie(int frame, const std::string& url);

}  // namespace guidekit
