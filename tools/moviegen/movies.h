#pragma once
// The movies moviegen writes. Each builder returns the complete file bytes and
// gives the same bytes on every run.

#include <cstdint>
#include <vector>

namespace moviegen {

// The user-guide movie: 800 x 600 at 24 fps. It reads the guide's variables
// from UserGuide_Page_img/Page_var.txt (pages=N, pageK=file), shows page K's
// picture from that folder at (72, 154), 656 x 300 pixels, with Previous and
// Next buttons and a "Page n of m" counter (up to 9 pages); a small animation loops in the
// header, and the Close button (centred at 142, 492) calls the host with "close".
std::vector<std::uint8_t> BuildDemoMovie();

// 200 x 100 stage on a white background with one solid red (255, 0, 0)
// rectangle from (50, 25) to (150, 75) pixels.
std::vector<std::uint8_t> BuildSolidMovie();

// 200 x 100 white stage over four frames: a square morphing from red at the
// left to blue at the right, with an outline that thickens, and a gradient
// bar whose stops slide, masking a green band as a clip layer.
std::vector<std::uint8_t> BuildMorphMovie();

// Calls flash.external.ExternalInterface.call("close") on frame 1, then stops.
std::vector<std::uint8_t> BuildFlashCallMovie();

// Calls fscommand("quit", "now") on frame 1, then stops.
std::vector<std::uint8_t> BuildFsCommandMovie();

// Frames the full-change movie plays before it closes: 30 s at 30 fps.
inline constexpr int kFullChangeFrames = 900;

// 1920 x 1080 at 30 fps, for measuring frame pacing: a radial gradient over
// the whole stage that moves and changes colour every frame, so that every
// pixel changes; after kFullChangeFrames frames it calls the host with "close".
std::vector<std::uint8_t> BuildFullChangeMovie();

}  // namespace moviegen
