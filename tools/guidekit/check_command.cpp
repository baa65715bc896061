#include "tools/guidekit/check_command.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "swf/files/native_file_host.h"
#include "swf/player/player.h"
#include "tools/guidekit/command_line.h"
#include "tools/guidekit/player_setup.h"
#include "tools/guidekit/terminal.h"

namespace guidekit {

namespace fs = std::filesystem;

const char* const kCheckHelp =
    "usage: guidekit check MOVIE.swf [--frames N] [--assets FOLDER]\n"
    "Plays the movie without a window for N frames (default: all frames of its\n"
    "main timeline, and at least 10 seconds' worth at its frame rate) and prints\n"
    "every warning the player logs, as \"frame N: ...\" (frame 1 is the first\n"
    "frame as loaded, reading the movie included), then a summary.\n"
    "  --assets  the folder the movie's loads read from, confined to it as in the\n"
    "            player (default: the movie's own folder, where a made guide's\n"
    "            NAME_Page_img/ lies)\n"
    "Exit code: 0 nothing reported, 1 warnings, 2 the movie cannot be read.\n";

namespace {

constexpr long kMaxFrames = 10'000'000;
constexpr double kLeastSeconds = 10;

}  // namespace

long DefaultCheckFrames(std::uint32_t frameCount, double frameRate) {
    const double rate = frameRate > 0 ? frameRate : 12;
    const long seconds = static_cast<long>(std::ceil(kLeastSeconds * rate));
    return std::clamp<long>(std::max<long>(frameCount, seconds), 1, kMaxFrames);
}

CheckResult CheckMovie(const CheckRequest& request, const CheckListeners& listeners) {
    CheckResult result;
    long frame = 1;  // before the player: its log handler uses it
    swf::Player player;
    const fs::path folder = request.files.empty() ? fs::absolute(request.movie).parent_path() : request.files;
    swf::NativeFileHost files(fs::absolute(folder));
    player.SetFileHost(&files);
    PlayerDevices devices(player);
    player.SetLogHandler([&](swf::Player::LogKind kind, const std::string& text) {
        if (kind != swf::Player::LogKind::Warning) return;
        result.warnings.push_back({frame, text});
        if (listeners.warning) listeners.warning(result.warnings.back());
    });
    if (!player.LoadFile(request.movie.string())) {
        result.error = player.LoadError();
        result.warnings.clear();
        return result;
    }
    result.readable = true;
    const long frames = request.frames.value_or(DefaultCheckFrames(player.FrameCount(), player.FrameRate()));
    if (listeners.progress) listeners.progress(1, frames);
    for (frame = 2; frame <= frames; ++frame) {
        player.AdvanceFrame();
        if (listeners.progress) listeners.progress(frame, frames);
    }
    result.framesPlayed = frames;
    return result;
}

int RunCheck(const std::vector<std::string>& words) {
    std::string why;
    const auto arguments = ParseArguments(words, {"--frames", "--assets"}, {}, &why);
    if (arguments && arguments->help) {
        std::cout << kCheckHelp;
        return 0;
    }
    CheckRequest request;
    if (arguments && arguments->positional.size() != 1) why = "give one movie";
    if (why.empty()) {
        request.movie = arguments->positional[0];
        request.files = arguments->Value("--assets").value_or("");
        if (const auto frames = arguments->Value("--frames")) {
            request.frames = ParseCount(*frames, 1, kMaxFrames);
            if (!request.frames) why = "--frames takes a number from 1 to " + std::to_string(kMaxFrames);
        }
    }
    if (!why.empty()) {
        std::cerr << "guidekit check: " << why << " (guidekit check --help tells more)\n";
        return 2;
    }
    ProgressLine line(std::cerr);
    CheckListeners listeners;
    listeners.warning = [&](const FrameWarning& warning) {
        line.Clear();
        std::cout << "frame " << warning.frame << ": " << warning.text << std::endl;
    };
    listeners.progress = [&](long frame, long frames) {
        if (frame % 10 == 0 || frame == frames)
            line.Show("frame " + std::to_string(frame) + " of " + std::to_string(frames));
    };
    const CheckResult result = CheckMovie(request, listeners);
    line.Clear();
    if (!result.readable) {
        std::cerr << "guidekit check: '" << request.movie.string() << "' cannot be played: " << result.error << "\n";
        return 2;
    }
    const std::size_t count = result.warnings.size();
    std::cout << (count == 0 ? std::string("no warnings")
                             : std::to_string(count) + (count == 1 ? " warning" : " warnings"))
              << " in " << result.framesPlayed << " frames\n";
    return count == 0 ? 0 : 1;
}

}  // namespace guidekit
