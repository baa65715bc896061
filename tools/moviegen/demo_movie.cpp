// The user-guide demo movie.

#include <numbers>
#include <cmath>

#include "movies.h"

#include "swf/writer/action_assembler.h"
#include "swf/writer/button.h"
#include "swf/writer/font.h"
#include "swf/writer/movie.h"
#include "swf/writer/shape.h"
#include "swf/writer/text.h"

namespace moviegen {

using namespace swf::writer;

namespace {

constexpr std::int32_t kTwips = 20;
constexpr std::int32_t Px(std::int32_t pixels) { return pixels * kTwips; }

// Character ids.
enum : std::uint16_t {
    kFont = 1, kPanel, kHeader, kTitle, kGuide, kDot, kSpinner,
    kButtonUp, kButtonOver, kButtonDown, kButtonLabel, kCloseButton,
};

const Rgb kInk{0x33, 0x3A, 0x46};
const Rgb kWhite{0xFF, 0xFF, 0xFF};

std::vector<std::uint8_t> PanelShape() {
    ShapeBuilder s;
    Rect box{Px(40), Px(760), Px(40), Px(560)};
    auto fill = s.AddFill(FillStyle::Linear(box, std::numbers::pi / 2, {{0, Rgba{0xFF, 0xFF, 0xFF}}, {255, Rgba{0xDD, 0xE6, 0xF2}}}));
    auto line = s.AddLine(LineStyle{Px(2), Rgba{0xA8, 0xB8, 0xCC}});
    s.RoundedRectangle(box, Px(24), fill, line);
    return s.DefineShapeBody(kPanel, 3);
}

std::vector<std::uint8_t> HeaderShape() {
    ShapeBuilder s;
    Rect box{Px(40), Px(760), Px(40), Px(140)};
    auto fill = s.AddFill(FillStyle::Linear(box, std::numbers::pi / 2, {{0, Rgba{0x3C, 0x78, 0xC8}}, {255, Rgba{0x1E, 0x46, 0x8C}}}));
    s.RoundedRectangle(box, Px(24), fill);
    return s.DefineShapeBody(kHeader, 3);
}

std::vector<std::uint8_t> DotShape() {
    ShapeBuilder s;
    Rect box{Px(-12), Px(12), Px(-12), Px(12)};
    auto fill = s.AddFill(FillStyle::Radial(box, {{0, Rgba{0xFF, 0xD2, 0x7A}}, {255, Rgba{0xE8, 0x7A, 0x10}}}));
    s.Ellipse(0, 0, Px(12), Px(12), fill);
    return s.DefineShapeBody(kDot, 3);
}

std::vector<std::uint8_t> ButtonShape(std::uint16_t id, Rgba top, Rgba bottom) {
    ShapeBuilder s;
    Rect box{0, Px(140), 0, Px(44)};
    auto fill = s.AddFill(FillStyle::Linear(box, std::numbers::pi / 2, {{0, top}, {255, bottom}}));
    auto line = s.AddLine(LineStyle{Px(1), Rgba{0x14, 0x32, 0x64}});
    s.RoundedRectangle(box, Px(10), fill, line);
    return s.DefineShapeBody(id, 3);
}

// A dot circling the sprite's origin once every 24 frames.
TagStream SpinnerTimeline() {
    TagStream t;
    constexpr int kFrames = 24;
    for (int frame = 0; frame < kFrames; ++frame) {
        double a = 2 * std::numbers::pi * frame / kFrames;
        PlaceObject p;
        p.depth = 1;
        p.hasMatrix = true;
        p.matrix = Matrix::Translate(static_cast<std::int32_t>(std::lround(Px(30) * std::cos(a))),
                                     static_cast<std::int32_t>(std::lround(Px(30) * std::sin(a))));
        if (frame == 0)
            p.characterId = kDot;
        else
            p.move = true;
        t.PlaceObject2(p);
        t.ShowFrame();
    }
    t.End();
    return t;
}

void Place(TagStream& tags, std::uint16_t depth, std::uint16_t id, std::int32_t x, std::int32_t y,
           const std::string& name = "") {
    PlaceObject p;
    p.depth = depth;
    p.characterId = id;
    p.hasMatrix = true;
    p.matrix = Matrix::Translate(x, y);
    p.name = name;
    tags.PlaceObject2(p);
}

}  // namespace

std::vector<std::uint8_t> BuildDemoMovie() {
    FontBuilder font = MakeBlockFont("Guide Block", 20480);

    TagStream tags;
    tags.FileAttributes(0);
    tags.SetBackgroundColor(Rgb{0xF4, 0xF6, 0xFA});
    tags.Add(TagCode::DefineFont3, font.DefineFontBody(kFont));
    tags.Add(TagCode::DefineShape3, PanelShape());
    tags.Add(TagCode::DefineShape3, HeaderShape());
    tags.Add(TagCode::DefineText, DefineTextBody(kTitle, font, kFont, {TextLine{"Welcome", Px(72), Px(112), Px(48), kWhite}}));
    tags.Add(TagCode::DefineText,
             DefineTextBody(kGuide, font, kFont,
                            {
                                TextLine{"This short guide shows how to use the player.", Px(72), Px(200), Px(20), kInk},
                                TextLine{"Drag the title bar to move the window.", Px(72), Px(240), Px(20), kInk},
                                TextLine{"Drag the lower right corner to resize it.", Px(72), Px(280), Px(20), kInk},
                                TextLine{"Use the buttons at the top to minimise or maximise.", Px(72), Px(320), Px(20), kInk},
                                TextLine{"Press Close when you are done.", Px(72), Px(360), Px(20), kInk},
                            }));
    tags.Add(TagCode::DefineShape3, DotShape());
    tags.DefineSprite(kSpinner, SpinnerTimeline());
    tags.Add(TagCode::DefineShape3, ButtonShape(kButtonUp, Rgba{0x4A, 0x8A, 0xDA}, Rgba{0x2A, 0x5A, 0xA8}));
    tags.Add(TagCode::DefineShape3, ButtonShape(kButtonOver, Rgba{0x6A, 0xA6, 0xF0}, Rgba{0x3A, 0x72, 0xC4}));
    tags.Add(TagCode::DefineShape3, ButtonShape(kButtonDown, Rgba{0x22, 0x4E, 0x96}, Rgba{0x1A, 0x3C, 0x78}));
    const std::uint16_t labelHeight = Px(22);
    const std::int32_t labelWidth = TextWidth(font, "Close", labelHeight);
    tags.Add(TagCode::DefineText,
             DefineTextBody(kButtonLabel, font, kFont,
                            {TextLine{"Close", (Px(140) - labelWidth) / 2, Px(30), labelHeight, kWhite}}));

    ActionAssembler onRelease;
    onRelease.ExternalInterfaceCall("close");
    tags.Add(TagCode::DefineButton2,
             DefineButton2Body(kCloseButton,
                               {
                                   ButtonRecord{kStateUp, kButtonUp, 1, {}, {}},
                                   ButtonRecord{kStateOver, kButtonOver, 1, {}, {}},
                                   ButtonRecord{kStateDown, kButtonDown, 1, {}, {}},
                                   ButtonRecord{kStateHitTest, kButtonUp, 1, {}, {}},
                                   ButtonRecord{kStateUp | kStateOver | kStateDown, kButtonLabel, 2, {}, {}},
                               },
                               {ButtonAction{kOverDownToOverUp, onRelease.Finish()}}));

    Place(tags, 1, kPanel, 0, 0);
    Place(tags, 2, kHeader, 0, 0);
    Place(tags, 3, kTitle, 0, 0);
    Place(tags, 4, kGuide, 0, 0);
    Place(tags, 5, kSpinner, Px(660), Px(460), "spinner");
    Place(tags, 6, kCloseButton, Px(72), Px(470), "closeButton");
    ActionAssembler frameScript;
    frameScript.Action(ActionCode::Stop);
    tags.DoAction(frameScript.Finish());
    tags.ShowFrame();
    tags.End();

    MovieHeader header;
    header.version = 8;
    header.frameSize = Rect{0, Px(800), 0, Px(600)};
    header.frameRate = 24;
    header.compressed = true;
    return BuildMovie(header, tags);
}

}  // namespace moviegen
