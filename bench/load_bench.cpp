// From a script's loadMovie of a full-HD JPEG page to the first frame that
// shows it: read, decode, place and draw at 1920 x 1080. The picture is made
// by ImageMagick when the benchmark starts.
//   swf_load_bench [google benchmark flags]

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "swf/files/native_file_host.h"
#include "swf/player/player.h"
#include "swf/raster/surface.h"
#include "swf/writer/action_assembler.h"
#include "swf/writer/movie.h"

namespace {

namespace fs = std::filesystem;
using namespace swf::writer;

// A 1920 x 1080 stage with one empty clip "holder" that frame 1 loads page.jpg into.
std::vector<std::uint8_t> LoadingMovie() {
    TagStream holder;
    holder.ShowFrame();
    holder.End();
    TagStream tags;
    tags.DefineSprite(1, holder);
    PlaceObject place;
    place.depth = 1;
    place.characterId = 1;
    place.name = "holder";
    tags.PlaceObject2(place);
    ActionAssembler script;
    script.PushString("page.jpg").PushNumber(1).PushString("holder").Action(ActionCode::GetVariable);
    script.PushString("loadMovie").Action(ActionCode::CallMethod).Action(ActionCode::Pop).Action(ActionCode::Stop);
    tags.DoAction(script.Finish());
    tags.ShowFrame();
    tags.End();
    MovieHeader header;
    header.frameSize = Rect{0, 1920 * 20, 0, 1080 * 20};
    return BuildMovie(header, tags);
}

fs::path PageFolder() {
    static const fs::path folder = [] {
        fs::path dir = fs::temp_directory_path() / "swf_load_bench";
        fs::create_directories(dir);
        const std::string command =
            "/usr/bin/convert -size 1920x1080 plasma:fractal -seed 7 -quality 90 '" + (dir / "page.jpg").string() + "'";
        if (!fs::exists(dir / "page.jpg") && std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "swf_load_bench: ImageMagick could not make the page picture\n");
            std::exit(1);
        }
        return dir;
    }();
    return folder;
}

void BM_LoadMovieJpegToFirstFrame(benchmark::State& state) {
    const std::vector<std::uint8_t> movie = LoadingMovie();
    swf::NativeFileHost files(PageFolder());
    swf::raster::Surface surface(1920, 1080);
    for (auto _ : state) {
        swf::Player player;
        player.SetFileHost(&files);
        player.Load(movie);      // frame 1 asks for the page
        player.AdvanceFrame();   // the next tick completes the load
        player.Render(surface);  // and draws it
        benchmark::DoNotOptimize(surface.pixel(960, 540));
        if (surface.pixel(960, 540) == 0xFFFFFFFFu) state.SkipWithError("the page was not drawn");
    }
}
BENCHMARK(BM_LoadMovieJpegToFirstFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
