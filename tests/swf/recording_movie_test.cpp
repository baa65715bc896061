// The video-playback movie tools/measure-frame-cost.sh runs: it plays the FLV
// file beside it through a NetStream and traces the figures the script reads
// back, in the form the script parses.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "swf/actions/action_target.h"
#include "swf/files/file_host.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/player.h"
#include "tools/moviegen/movies.h"

namespace swf {
namespace {

// Serves the demo guide's screen recording (media/, made by the build) under
// the name the movie asks for.
class RecordingFiles : public FileHost {
public:
    FileReadResult ReadFile(const std::string& path, std::size_t) override {
        if (path != moviegen::kRecordingFile) return {false, {}, "not in this test"};
        std::ifstream in("media/recording.flv", std::ios::binary);
        if (!in) return {false, {}, "media/recording.flv is missing (made by the build)"};
        return {true, std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}), {}};
    }
};

class CloseCalls : public ActionHost {
public:
    int closes = 0;
    void FSCommand(const std::string&, const std::string&) override {}
    std::string FlashCall(const std::string& request) override {
        if (request.find("<invoke name=\"close\"") != std::string::npos) ++closes;
        return {};
    }
    void GetURL(const std::string&, const std::string&) override {}
};

TEST(RecordingMovie, PlaysTheFileBesideItAndTracesTheStreamOnceASecond) {
    Player player;
    RecordingFiles files;
    CloseCalls host;
    std::vector<std::string> traces;
    player.SetFileHost(&files);
    player.SetHost(&host);
    player.SetLogHandler([&](Player::LogKind kind, const std::string& text) {
        if (kind == Player::LogKind::Trace) traces.push_back(text);
    });
    ASSERT_TRUE(player.Load(moviegen::BuildRecordingMovie())) << player.LoadError();
    EXPECT_EQ(player.FrameRate(), moviegen::kRecordingMovieRate);
    const auto& children = player.Root()->Children();
    EXPECT_TRUE(std::any_of(children.begin(), children.end(), [](const auto& child) {
        return child.second->Kind() == DisplayKind::Video && child.second->GetPlacement().name == "screen";
    })) << "the Video object is not where the script looks";

    // The interval runs on the wall clock: a little over a second of frames.
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(1300)) {
        player.AdvanceFrame();
        std::this_thread::sleep_for(std::chrono::milliseconds(1000 / moviegen::kRecordingMovieRate));
    }
    EXPECT_NE(std::find(traces.begin(), traces.end(), "status NetStream.Play.Start"), traces.end());
    // "second <n> fps <currentFps> time <seconds>", numbers as the script's
    // awk reads them; by then frames have been shown and the playhead moved.
    const std::regex sample(R"(second 1 fps ([0-9]+(\.[0-9]+)?) time ([0-9]+(\.[0-9]+)?))");
    std::smatch numbers;
    const auto found = std::find_if(traces.begin(), traces.end(),
                                    [&](const std::string& line) { return std::regex_match(line, numbers, sample); });
    ASSERT_NE(found, traces.end()) << (traces.empty() ? "no traces" : traces.back());
    EXPECT_GT(std::stod(numbers[1]), 0) << *found;
    EXPECT_GT(std::stod(numbers[3]), 0) << *found;
    EXPECT_EQ(host.closes, 0);  // the recording has not ended
}

}  // namespace
}  // namespace swf
