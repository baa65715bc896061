#pragma once
// The movie's unit of length: positions and sizes are kept in twips, and
// scripts see pixels.

namespace swf {

inline constexpr double kTwipsPerPixel = 20;

}  // namespace swf
