// Small movies with one known effect each, for the engine and control tests.

#include "movies.h"

#include "swf/writer/action_assembler.h"
#include "swf/writer/movie.h"
#include "swf/writer/shape.h"

namespace moviegen {

using namespace swf::writer;

namespace {

constexpr std::int32_t kTwips = 20;

// A 200 x 100 white stage with the given first-frame script.
std::vector<std::uint8_t> ScriptMovie(const ActionAssembler& script) {
    TagStream tags;
    tags.FileAttributes(0);
    tags.SetBackgroundColor(Rgb{255, 255, 255});
    tags.DoAction(script.Finish());
    tags.ShowFrame();
    tags.End();
    MovieHeader header;
    header.frameSize = Rect{0, 200 * kTwips, 0, 100 * kTwips};
    header.frameRate = 12;
    return BuildMovie(header, tags);
}

}  // namespace

std::vector<std::uint8_t> BuildSolidMovie() {
    ShapeBuilder shape;
    std::uint16_t red = shape.AddFill(FillStyle::Solid(Rgba{255, 0, 0}));
    shape.Rectangle(Rect{50 * kTwips, 150 * kTwips, 25 * kTwips, 75 * kTwips}, red);

    TagStream tags;
    tags.FileAttributes(0);
    tags.SetBackgroundColor(Rgb{255, 255, 255});
    tags.Add(TagCode::DefineShape, shape.DefineShapeBody(1, 1));
    PlaceObject place;
    place.depth = 1;
    place.characterId = 1;
    place.hasMatrix = true;
    tags.PlaceObject2(place);
    tags.ShowFrame();
    tags.End();
    MovieHeader header;
    header.frameSize = Rect{0, 200 * kTwips, 0, 100 * kTwips};
    header.frameRate = 12;
    return BuildMovie(header, tags);
}

std::vector<std::uint8_t> BuildFlashCallMovie() {
    ActionAssembler script;
    script.ExternalInterfaceCall("close").Action(ActionCode::Stop);
    return ScriptMovie(script);
}

std::vector<std::uint8_t> BuildFsCommandMovie() {
    ActionAssembler script;
    script.FsCommand("quit", "now").Action(ActionCode::Stop);
    return ScriptMovie(script);
}

}  // namespace moviegen
