// Small movies with one known effect each, for the engine and control tests.

#include "tools/moviegen/movies.h"

#include "swf/writer/action_assembler.h"
#include "swf/writer/edit_text.h"
#include "swf/writer/morph_shape.h"
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

std::vector<std::uint8_t> BuildMorphMovie() {
    MorphShapeBuilder square;
    MorphLineStyle outline;
    outline.startWidth = 1 * kTwips;
    outline.endWidth = 4 * kTwips;
    outline.startColor = Rgba{0, 0, 0};
    outline.endColor = Rgba{255, 255, 0};
    outline.join = 2;
    const std::uint16_t fill = square.AddFill(MorphFillStyle::Solid(Rgba{255, 0, 0}, Rgba{0, 0, 255}));
    const std::uint16_t line = square.AddLine(outline);
    square.Start().Rectangle(Rect{10 * kTwips, 30 * kTwips, 10 * kTwips, 30 * kTwips}, fill, line);
    // The end square's top side bows upwards.
    square.End().MoveTo(150 * kTwips, 10 * kTwips);
    square.End().CurveTo(160 * kTwips, 0, 170 * kTwips, 10 * kTwips);
    square.End().LineTo(170 * kTwips, 30 * kTwips);
    square.End().LineTo(150 * kTwips, 30 * kTwips);
    square.End().LineTo(150 * kTwips, 10 * kTwips);

    MorphShapeBuilder bar;
    MorphFillStyle gradient;
    gradient.type = MorphFillStyle::Type::Linear;
    gradient.startMatrix = Matrix::Transform(0.01, 0.01, 0, 100 * kTwips, 70 * kTwips);
    gradient.endMatrix = Matrix::Transform(0.005, 0.01, 0.5, 100 * kTwips, 70 * kTwips);
    gradient.stops = {{0, Rgba{255, 255, 255}, 128, Rgba{0, 0, 0, 128}}, {255, Rgba{0, 0, 0}, 255, Rgba{255, 0, 255}}};
    const std::uint16_t barFill = bar.AddFill(gradient);
    bar.Start().Rectangle(Rect{20 * kTwips, 180 * kTwips, 60 * kTwips, 80 * kTwips}, barFill);
    bar.End().Rectangle(Rect{60 * kTwips, 140 * kTwips, 50 * kTwips, 90 * kTwips}, 0);

    ShapeBuilder band;
    band.Rectangle(Rect{0, 200 * kTwips, 65 * kTwips, 75 * kTwips}, band.AddFill(FillStyle::Solid(Rgba{0, 160, 0})));

    TagStream tags;
    tags.FileAttributes(0);
    tags.SetBackgroundColor(Rgb{255, 255, 255});
    tags.Add(TagCode::DefineMorphShape2, square.DefineMorphShapeBody(1, 2));
    tags.Add(TagCode::DefineMorphShape, bar.DefineMorphShapeBody(2, 1));
    tags.Add(TagCode::DefineShape3, band.DefineShapeBody(3, 3));
    PlaceObject place;
    place.depth = 1;
    place.characterId = 1;
    place.ratio = 0;
    tags.PlaceObject2(place);
    place.depth = 2;
    place.characterId = 2;
    place.clipDepth = 3;
    tags.PlaceObject2(place);
    // The band at depth 3 shows only inside the bar: depth 2 clips up to 3.
    PlaceObject bandPlace;
    bandPlace.depth = 3;
    bandPlace.characterId = 3;
    tags.PlaceObject2(bandPlace);
    tags.ShowFrame();
    for (std::uint16_t ratio : {21845, 43690, 65535}) {
        PlaceObject step;
        step.move = true;
        step.ratio = ratio;
        step.depth = 1;
        tags.PlaceObject2(step);
        step.depth = 2;
        tags.PlaceObject2(step);
        tags.ShowFrame();
    }
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

std::vector<std::uint8_t> BuildSelfReferencingArrayMovie() {
    ActionAssembler script;
    script.PushString("a").PushNumber(0).Action(ActionCode::InitArray).Action(ActionCode::SetVariable);
    for (int i = 0; i < 8; ++i) {
        script.PushString("a").Action(ActionCode::GetVariable).PushNumber(i);
        script.PushString("a").Action(ActionCode::GetVariable).Action(ActionCode::SetMember);
    }
    script.Label("again");
    script.PushString("n").PushString("a").Action(ActionCode::GetVariable).Action(ActionCode::ToNumber);
    script.Action(ActionCode::SetVariable).Jump("again");
    return ScriptMovie(script);
}

std::vector<std::uint8_t> BuildTextInputMovie() {
    const auto field = [](std::int32_t top, const std::string& variable, bool input) {
        EditTextField f;
        f.bounds = Rect{20 * kTwips, 380 * kTwips, top * kTwips, (top + 30) * kTwips};
        f.fontClass = "_sans";
        f.fontHeight = 20 * kTwips;
        f.textColor = Rgba{0, 0, 0};
        f.border = input;
        f.readOnly = !input;
        f.variableName = variable;
        return f;
    };
    TagStream tags;
    tags.FileAttributes(0);
    tags.SetBackgroundColor(Rgb{255, 255, 255});
    const EditTextField fields[] = {field(10, "status", false), field(60, "entry", true), field(110, "other", true)};
    for (std::uint16_t i = 0; i < 3; ++i) {
        const auto id = static_cast<std::uint16_t>(i + 1);
        tags.Add(TagCode::DefineEditText, DefineEditTextBody(id, fields[i]));
        PlaceObject place;
        place.depth = id;
        place.characterId = id;
        tags.PlaceObject2(place);
    }
    ActionAssembler init;
    init.PushString("entry").PushString("").Action(ActionCode::SetVariable);
    init.PushString("other").PushString("").Action(ActionCode::SetVariable);
    tags.DoAction(init.Finish());
    tags.ShowFrame();
    // status = "Typed: " + entry; fscommand("state", entry + "|" + other)
    ActionAssembler report;
    report.PushString("status").PushString("Typed: ").PushString("entry").Action(ActionCode::GetVariable);
    report.Action(ActionCode::StringAdd).Action(ActionCode::SetVariable);
    report.PushString("FSCommand:state").PushString("entry").Action(ActionCode::GetVariable).PushString("|");
    report.Action(ActionCode::StringAdd).PushString("other").Action(ActionCode::GetVariable);
    report.Action(ActionCode::StringAdd).GetURL2(0);
    tags.DoAction(report.Finish());
    tags.ShowFrame();
    ActionAssembler loop;
    loop.GotoFrame(1).Action(ActionCode::Play);
    tags.DoAction(loop.Finish());
    tags.ShowFrame();
    tags.End();
    MovieHeader header;
    header.frameSize = Rect{0, 400 * kTwips, 0, 200 * kTwips};
    header.frameRate = 24;
    return BuildMovie(header, tags);
}

std::vector<std::uint8_t> BuildFullChangeMovie() {
    constexpr std::int32_t kWidth = 1920 * kTwips, kHeight = 1080 * kTwips;
    const Rect stage{0, kWidth, 0, kHeight};
    ShapeBuilder shape;
    const std::uint16_t fill = shape.AddFill(
        FillStyle::Radial(stage, {{0, Rgba{250, 220, 40}}, {120, Rgba{40, 160, 220}}, {255, Rgba{120, 20, 90}}}));
    shape.Rectangle(stage, fill);

    // Both frames count themselves (from 0 the first time round); past the
    // last one the movie asks the host to close.
    ActionAssembler count;
    count.PushString("n").Action(ActionCode::GetVariable).PushNumber(0).Action(ActionCode::Greater);
    count.If("counting").PushString("n").PushNumber(0).Action(ActionCode::SetVariable).Label("counting");
    count.PushString("n").PushString("n").Action(ActionCode::GetVariable).PushNumber(1).Action(ActionCode::Add2);
    count.Action(ActionCode::SetVariable);
    count.PushString("n").Action(ActionCode::GetVariable).PushNumber(kFullChangeFrames).Action(ActionCode::Greater);
    count.If("close").Jump("done").Label("close").ExternalInterfaceCall("close").Label("done");

    // The second frame moves the picture and changes every colour; looping
    // back to the first puts it back.
    PlaceObject second;
    second.depth = 1;
    second.move = true;
    second.hasMatrix = true;
    second.matrix = Matrix::Translate(7 * kTwips, 3 * kTwips);
    second.hasColorTransform = true;
    second.colorTransform.multR = 180;
    second.colorTransform.addG = 40;
    second.colorTransform.addB = -30;

    TagStream tags;
    tags.FileAttributes(0);
    tags.SetBackgroundColor(Rgb{0, 0, 0});
    tags.Add(TagCode::DefineShape3, shape.DefineShapeBody(1, 3));
    PlaceObject place;
    place.depth = 1;
    place.characterId = 1;
    place.hasMatrix = true;
    tags.PlaceObject2(place);
    tags.DoAction(count.Finish());
    tags.ShowFrame();
    tags.PlaceObject2(second);
    tags.DoAction(count.Finish());
    tags.ShowFrame();
    tags.End();
    MovieHeader header;
    header.frameSize = stage;
    header.frameRate = 30;
    return BuildMovie(header, tags);
}

}  // namespace moviegen
