#pragma once
// Small movie files built byte by byte for the control's tests.

#include <cstdint>
#include <string>
#include <vector>

namespace control_test {

// A stage of the given pixel size and frame rate with a background colour
// (0xRRGGBB) and `frames` empty frames.
std::vector<std::uint8_t> SolidMovie(int width, int height, std::uint32_t rgb, double frameRate = 12, int frames = 1);

// Like SolidMovie, whose first frame runs fscommand(command, args).
// A white 100 x 100 movie of one frame running `code` (action bytes ending with End).
std::vector<std::uint8_t> ActionMovie(const std::vector<std::uint8_t>& code);
std::vector<std::uint8_t> FSCommandMovie(const std::string& command, const std::string& args, std::uint32_t rgb);

// Like SolidMovie, whose first frame runs
// flash.external.ExternalInterface.call(name, argument).
std::vector<std::uint8_t> ExternalCallMovie(const std::string& name, const std::string& argument, std::uint32_t rgb);

// A 200 x 100 stage in `background` with a `left`-coloured rectangle over
// its left half (colours 0xRRGGBB).
std::vector<std::uint8_t> HalfAndHalfMovie(std::uint32_t background, std::uint32_t left);

// A 200 x 100 white stage with a button over its left half that runs
// fscommand("clicked", "left") (or `clickActions`) when clicked; the first
// frame runs `frameActions`.
std::vector<std::uint8_t> ButtonMovie(const std::vector<std::uint8_t>& clickActions = {},
                                      const std::vector<std::uint8_t>& frameActions = {});

// A 100 x 100 movie whose first frame loads variables from `inside` and from
// `outside` with LoadVars, then stops; each onLoad(ok) runs
// fscommand("inside" or "outside", ok + ":" + this.v).
std::vector<std::uint8_t> LoadingMovie(const std::string& inside, const std::string& outside);

// <temp>\<name> with <temp>\<name>\movie inside it, both made afresh, and
// "v=outside" in <temp>\<name>\outside.txt, "v=hello" in
// <temp>\<name>\movie\pages\inside.txt. Returns the movie folder.
std::wstring MakeMovieFolders(const std::wstring& name);

// Writes bytes to a new file in the temporary folder; returns its path.
std::wstring WriteTempFile(const std::wstring& name, const std::vector<std::uint8_t>& bytes);

}  // namespace control_test
