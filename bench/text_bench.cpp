// A 1280 x 720 stage filled by one wrapping HTML text field in a device font
// (DejaVu through FreeType): laying the text out and drawing it, per frame,
// for 500 to 4,000 words; and drawing alone, with the layout kept.
//   swf_text_bench [google benchmark flags]

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "swf/fonts/freetype/freetype_fonts.h"
#include "swf/player/fields/edit_text_instance.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/player.h"
#include "swf/raster/surface.h"
#include "swf/writer/edit_text.h"
#include "swf/writer/movie.h"

namespace {

using namespace swf::writer;

constexpr int kWidth = 1280, kHeight = 720;

std::vector<std::uint8_t> FieldMovie() {
    EditTextField field;
    field.bounds = Rect{0, kWidth * 20, 0, kHeight * 20};
    field.wordWrap = field.multiline = field.html = true;
    field.fontClass = "_sans";
    field.fontHeight = 14 * 20;
    field.textColor = Rgba{0, 0, 0};
    TagStream tags;
    tags.SetBackgroundColor(Rgb{255, 255, 255});
    tags.Add(TagCode::DefineEditText, DefineEditTextBody(1, field));
    PlaceObject place;
    place.depth = 1;
    place.characterId = 1;
    tags.PlaceObject2(place);
    tags.ShowFrame();
    tags.End();
    MovieHeader header;
    header.frameSize = Rect{0, kWidth * 20, 0, kHeight * 20};
    return BuildMovie(header, tags);
}

// Words of varied length in paragraphs of 60, with bold, italic, coloured and linked runs.
std::string HtmlWords(int count) {
    static const char* const kWords[] = {"guide", "page", "a",      "counter", "the",   "introduction",
                                         "of",    "next", "button", "shows",   "title", "navigation"};
    std::string html = "<p>";
    for (int i = 0; i < count; ++i) {
        const std::string word = kWords[i % 12];
        switch (i % 17) {
        case 3: html += "<b>" + word + "</b>"; break;
        case 7: html += "<i>" + word + "</i>"; break;
        case 11: html += "<font color=\"#3355AA\" size=\"18\">" + word + "</font>"; break;
        case 13: html += "<a href=\"asfunction:go," + std::to_string(i) + "\"><u>" + word + "</u></a>"; break;
        default: html += word;
        }
        html += (i + 1) % 60 == 0 ? "</p><p>" : " ";
    }
    return html + "</p>";
}

struct Scene {
    swf::fonts::FreeTypeFontProvider fonts;
    swf::Player player;
    swf::raster::Surface surface{kWidth, kHeight};
    swf::EditTextInstance* field = nullptr;

    explicit Scene(benchmark::State& state) {
        player.SetFontProvider(&fonts);
        if (!player.Load(FieldMovie())) {
            state.SkipWithError(player.LoadError().c_str());
            return;
        }
        field = static_cast<swf::EditTextInstance*>(player.Root()->Children().at(1).get());
    }
};

// Every frame sets the text anew: layout and drawing.
void BM_LayOutAndDrawHtmlField(benchmark::State& state) {
    Scene scene(state);
    if (scene.field == nullptr) return;
    const std::string html = HtmlWords(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        scene.field->Model().SetHtmlText(html);
        scene.player.Render(scene.surface);
        benchmark::DoNotOptimize(scene.surface.row(0));
    }
    state.counters["lines"] = static_cast<double>(scene.field->Model().Layout().lines.size());
}
BENCHMARK(BM_LayOutAndDrawHtmlField)->Arg(500)->Arg(1000)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond);

// The layout only (parsing the HTML included).
void BM_LayOutHtmlField(benchmark::State& state) {
    Scene scene(state);
    if (scene.field == nullptr) return;
    const std::string html = HtmlWords(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        scene.field->Model().SetHtmlText(html);
        benchmark::DoNotOptimize(scene.field->Model().Layout().lines.size());
    }
}
BENCHMARK(BM_LayOutHtmlField)->Arg(500)->Arg(1000)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond);

// Drawing with the layout kept (a frame where the text did not change).
void BM_DrawHtmlField(benchmark::State& state) {
    Scene scene(state);
    if (scene.field == nullptr) return;
    scene.field->Model().SetHtmlText(HtmlWords(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        scene.player.Render(scene.surface);
        benchmark::DoNotOptimize(scene.surface.row(0));
    }
}
BENCHMARK(BM_DrawHtmlField)->Arg(500)->Arg(1000)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
