// moviegen <out folder>: writes demo.swf, the small test movies and the
// sound test media.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: moviegen <out folder>\n";
        return 2;
    }
    std::filesystem::path folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        std::cerr << "moviegen: cannot create " << folder.string() << ": " << ec.message() << "\n";
        return 1;
    }
    const std::pair<const char*, std::function<std::vector<std::uint8_t>()>> movies[] = {
        {"demo.swf", moviegen::BuildDemoMovie},
        {"solid.swf", moviegen::BuildSolidMovie},
        {"morph.swf", moviegen::BuildMorphMovie},
        {"flashcall.swf", moviegen::BuildFlashCallMovie},
        {"fscommand.swf", moviegen::BuildFsCommandMovie},
        {"self_array.swf", moviegen::BuildSelfReferencingArrayMovie},
        {"classes.swf", moviegen::BuildClassMovie},
        {"textinput.swf", moviegen::BuildTextInputMovie},
        {"fullchange.swf", moviegen::BuildFullChangeMovie},
        {"clips500.swf", [] { return moviegen::BuildClipsMovie(); }},
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
