// moviegen <out folder> [<intro.mp3> <click.wav>]: writes demo.swf, the
// small test movies and the sound test media; the demo speaks the intro and
// its buttons click when the two sound files are given.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "tools/moviegen/movies.h"

namespace {

// Writes beside the target and renames, so a failure never leaves half a file.
bool WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::path temp = path;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

std::optional<std::vector<std::uint8_t>> ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    if (in.bad()) return std::nullopt;
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        std::cerr << "usage: moviegen <out folder> [<intro.mp3> <click.wav>]\n";
        return 2;
    }
    std::optional<moviegen::DemoSounds> sounds;
    if (argc == 4) {
        auto intro = ReadFile(argv[2]);
        auto click = ReadFile(argv[3]);
        if (!intro || !click) {
            std::cerr << "moviegen: cannot read " << (intro ? argv[3] : argv[2]) << "\n";
            return 1;
        }
        sounds = moviegen::DemoSounds{std::move(*intro), std::move(*click)};
    }
    std::filesystem::path folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        std::cerr << "moviegen: cannot create " << folder.string() << ": " << ec.message() << "\n";
        return 1;
    }
    const std::pair<const char*, std::function<std::vector<std::uint8_t>()>> movies[] = {
        {"demo.swf", [&] { return moviegen::BuildDemoMovie(sounds ? &*sounds : nullptr); }},
        {"solid.swf", moviegen::BuildSolidMovie},
        {"morph.swf", moviegen::BuildMorphMovie},
        {"flashcall.swf", moviegen::BuildFlashCallMovie},
        {"fscommand.swf", moviegen::BuildFsCommandMovie},
        {"self_array.swf", moviegen::BuildSelfReferencingArrayMovie},
        {"classes.swf", moviegen::BuildClassMovie},
        {"textinput.swf", moviegen::BuildTextInputMovie},
        {"fullchange.swf", moviegen::BuildFullChangeMovie},
        {"clips500.swf", [] { return moviegen::BuildClipsMovie(); }},
        {"recording720.swf", moviegen::BuildRecordingMovie},
        {"endless_handlers.swf", moviegen::BuildEndlessHandlersMovie},
        {"endless_callbacks.swf", moviegen::BuildEndlessCallbacksMovie},
        {"reloading_data.swf", moviegen::BuildReloadingDataMovie},
        {"level_loader.swf", moviegen::BuildLevelLoaderMovie},
        {"tone.swf", moviegen::BuildToneMovie},
    };
    for (const auto& [name, build] : movies) {
        if (!WriteFile(folder / name, build())) {
            std::cerr << "moviegen: cannot write " << (folder / name).string() << "\n";
            return 1;
        }
    }
    for (int bits = 2; bits <= 5; ++bits) {
        for (bool stereo : {false, true}) {
            const std::string name = "adpcm_codes_" + std::to_string(bits) + (stereo ? "s" : "m") + ".flv";
            if (!WriteFile(folder / name, moviegen::BuildAdpcmCodesFlv(bits, stereo))) {
                std::cerr << "moviegen: cannot write " << (folder / name).string() << "\n";
                return 1;
            }
        }
    }
    return 0;
}
