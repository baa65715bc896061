#include "tools/guidekit/shot_command.h"

#include <cmath>
#include <iostream>

#include "swf/files/native_file_host.h"
#include "swf/io/parse_error.h"
#include "swf/player/player.h"
#include "tools/frame_png/frame_png.h"
#include "tools/guidekit/command_line.h"
#include "tools/guidekit/movie_info.h"
#include "tools/guidekit/output_files.h"
#include "tools/guidekit/player_setup.h"

namespace guidekit {

namespace fs = std::filesystem;

namespace {

constexpr long kMaxFrame = 10'000'000;
constexpr int kMaxSide = 16384;

}  // namespace

std::string ShotHelp() {
    std::string help =
        "usage: guidekit shot MOVIE.swf --frame N [--size WxH] OUT.png\n"
        "Plays the movie without a window up to frame N (1: the first frame as\n"
        "loaded) and writes what it shows as a PNG picture, the stage scaled to\n"
        "WxH pixels (default: the stage's own size). Files the movie loads come\n"
        "from its folder.\n";
    if (!PlayerDevices::HasDeviceFonts()) {
        help += "This build has no device fonts: text set in system fonts is not drawn.\n";
    }
    return help;
}

const char* const kInfoHelp =
    "usage: guidekit info MOVIE.swf\n"
    "Tells the movie's version, compression, stage size, frame rate and count,\n"
    "its tags by kind (sprites' included), fonts, exported names, the size of\n"
    "its scripts and the files they name (string constants ending in a known\n"
    "extension: a heuristic, names made at run time are not seen).\n";

std::optional<std::vector<std::uint8_t>> ShootFrame(const ShotRequest& request, std::string* why) {
    swf::Player player;
    swf::NativeFileHost files(fs::absolute(request.movie).parent_path());
    player.SetFileHost(&files);
    PlayerDevices devices(player);
    if (!player.LoadFile(request.movie.string())) {
        *why = "'" + request.movie.string() + "' cannot be played: " + player.LoadError();
        return std::nullopt;
    }
    WindowSize size;
    if (request.size) {
        size = *request.size;
    } else {
        const swf::Rect stage = player.StageRect();
        size = {static_cast<int>(std::lround(stage.Width() / 20.0)),
                static_cast<int>(std::lround(stage.Height() / 20.0))};
    }
    if (size.width < 1 || size.height < 1 || size.width > kMaxSide || size.height > kMaxSide) {
        *why = "the picture's size must be 1 to " + std::to_string(kMaxSide) + " pixels a side, not " +
               std::to_string(size.width) + "x" + std::to_string(size.height);
        return std::nullopt;
    }
    for (long i = 1; i < request.frame; ++i) player.AdvanceFrame();
    swf::raster::Surface surface(size.width, size.height);
    player.Render(surface);
    return frame_png::EncodeSurface(surface);
}

int RunShot(const std::vector<std::string>& words) {
    std::string why;
    const auto arguments = ParseArguments(words, {"--frame", "--size"}, {}, &why);
    if (arguments && arguments->help) {
        std::cout << ShotHelp();
        return 0;
    }
    ShotRequest request;
    if (arguments && (arguments->positional.size() != 2 || !arguments->Value("--frame"))) {
        why = "give one movie, --frame N and the picture's file";
    }
    if (why.empty()) {
        request.movie = arguments->positional[0];
        request.out = arguments->positional[1];
        const auto frame = ParseCount(*arguments->Value("--frame"), 1, kMaxFrame);
        if (!frame) why = "--frame takes a number from 1 to " + std::to_string(kMaxFrame);
        request.frame = frame.value_or(1);
        if (const auto size = arguments->Value("--size")) {
            request.size = ParseSize(*size);
            if (!request.size) why = "--size takes WIDTHxHEIGHT in whole pixels, not '" + *size + "'";
        }
    }
    if (!why.empty()) {
        std::cerr << "guidekit shot: " << why << " (guidekit shot --help tells more)\n";
        return 2;
    }
    const auto png = ShootFrame(request, &why);
    OutputFiles files;
    if (!png || !files.WriteBytes(request.out, std::string(png->begin(), png->end()), &why) || !files.Commit(&why)) {
        std::cerr << "guidekit shot: " << why << "\n";
        return 2;
    }
    return 0;
}

int RunInfo(const std::vector<std::string>& words) {
    std::string why;
    const auto arguments = ParseArguments(words, {}, {}, &why);
    if (arguments && arguments->help) {
        std::cout << kInfoHelp;
        return 0;
    }
    if (arguments && arguments->positional.size() != 1) why = "give one movie";
    if (!why.empty()) {
        std::cerr << "guidekit info: " << why << " (guidekit info --help tells more)\n";
        return 2;
    }
    const std::string path = arguments->positional[0];
    const auto bytes = ReadWholeFile(path);
    if (!bytes) {
        std::cerr << "guidekit info: cannot read '" << path << "'\n";
        return 2;
    }
    try {
        std::cout << FormatSummary(Summarize(*bytes));
    } catch (const std::exception& e) {
        std::cerr << "guidekit info: '" << path << "' is not a movie the player can read: " << e.what() << "\n";
        return 2;
    }
    return 0;
}

}  // namespace guidekit
