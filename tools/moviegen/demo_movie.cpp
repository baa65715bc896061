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
    kFont = 1, kPanel, kHeader, kTitle, kPageFrame, kPageHolder, kDot, kSpinner,
    kButtonUp, kButtonOver, kButtonDown, kButtonLabel, kCloseButton,
    kPreviousLabel, kPreviousButton, kNextLabel, kNextButton,
    kCounterText, kDigits, kDigit0,  // kDigit0 .. kDigit0 + 9: one text per digit
};

// Where the pages and their variables lie, relative to the movie.
constexpr const char* kPageFolder = "UserGuide_Page_img/";

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

// A thin frame around the page pictures (656 x 300 pixels at 72, 154).
std::vector<std::uint8_t> PageFrameShape() {
    ShapeBuilder s;
    Rect box{Px(68), Px(732), Px(150), Px(458)};
    auto fill = s.AddFill(FillStyle::Solid(Rgba{0xFF, 0xFF, 0xFF}));
    auto line = s.AddLine(LineStyle{Px(1), Rgba{0xA8, 0xB8, 0xCC}});
    s.RoundedRectangle(box, Px(6), fill, line);
    return s.DefineShapeBody(kPageFrame, 3);
}

std::vector<std::uint8_t> DotShape() {
    ShapeBuilder s;
    Rect box{Px(-7), Px(7), Px(-7), Px(7)};
    auto fill = s.AddFill(FillStyle::Radial(box, {{0, Rgba{0xFF, 0xD2, 0x7A}}, {255, Rgba{0xE8, 0x7A, 0x10}}}));
    s.Ellipse(0, 0, Px(7), Px(7), fill);
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
        p.matrix = Matrix::Translate(static_cast<std::int32_t>(std::lround(Px(18) * std::cos(a))),
                                     static_cast<std::int32_t>(std::lround(Px(18) * std::sin(a))));
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

// One digit per frame (frame n + 1 shows n), stopped on the first: a page
// counter picks its digit with gotoAndStop.
TagStream DigitTimeline() {
    TagStream t;
    for (std::uint16_t digit = 0; digit < 10; ++digit) {
        if (digit > 0) t.RemoveObject2(1);
        PlaceObject p;
        p.depth = 1;
        p.characterId = static_cast<std::uint16_t>(kDigit0 + digit);
        t.PlaceObject2(p);
        if (digit == 0) {
            ActionAssembler stop;
            stop.Action(ActionCode::Stop);
            t.DoAction(stop.Finish());
        }
        t.ShowFrame();
    }
    t.End();
    return t;
}

// showPage(): sets the counter and loads the current page's picture into
// `holder`. The picture's file is the page's entry in the guide's variables;
// until they have arrived there is none to load.
ActionAssembler ShowPageFunction() {
    ActionAssembler f;
    for (const auto& [variable, clip] : {std::pair{"page", "current"}, std::pair{"pages", "total"}}) {
        f.PushString(variable).Action(ActionCode::GetVariable).PushNumber(1).Action(ActionCode::Add2);
        f.PushNumber(1).PushString(clip).Action(ActionCode::GetVariable).PushString("gotoAndStop");
        f.Action(ActionCode::CallMethod).Action(ActionCode::Pop);
    }
    f.PushString("file");
    f.PushString("vars").Action(ActionCode::GetVariable);
    f.PushString("page").PushString("page").Action(ActionCode::GetVariable).Action(ActionCode::Add2);
    f.Action(ActionCode::GetMember).Action(ActionCode::DefineLocal);
    f.PushString("file").Action(ActionCode::GetVariable).PushUndefined().Action(ActionCode::Equals2).If("end");
    f.PushString(kPageFolder).PushString("file").Action(ActionCode::GetVariable).Action(ActionCode::Add2);
    f.PushNumber(1).PushString("holder").Action(ActionCode::GetVariable).PushString("loadMovie");
    f.Action(ActionCode::CallMethod).Action(ActionCode::Pop);
    f.Label("end");
    return f;
}

// vars.onLoad(ok): takes the page count from the file when it was read, then
// shows the first page.
ActionAssembler OnVariablesLoaded() {
    ActionAssembler f;
    f.PushString("ok").Action(ActionCode::GetVariable).Action(ActionCode::Not).If("show");
    f.PushString("pages");
    f.PushString("this").Action(ActionCode::GetVariable).PushString("pages").Action(ActionCode::GetMember);
    f.PushNumber(1).PushString("Number").Action(ActionCode::CallFunction);
    f.Action(ActionCode::SetVariable);
    f.Label("show");
    f.PushNumber(0).PushString("showPage").Action(ActionCode::CallFunction).Action(ActionCode::Pop);
    return f;
}

// Frame 1: page 1 of 1 until the guide's variables arrive.
std::vector<std::uint8_t> MainScript() {
    ActionAssembler a;
    a.PushString("page").PushNumber(1).Action(ActionCode::SetVariable);
    a.PushString("pages").PushNumber(1).Action(ActionCode::SetVariable);
    a.DefineFunction("showPage", {}, ShowPageFunction());
    a.PushString("vars").PushNumber(0).PushString("LoadVars").Action(ActionCode::NewObject);
    a.Action(ActionCode::SetVariable);
    a.PushString("vars").Action(ActionCode::GetVariable).PushString("onLoad");
    a.DefineFunction("", {"ok"}, OnVariablesLoaded());
    a.Action(ActionCode::SetMember);
    a.PushString(std::string(kPageFolder) + "Page_var.txt").PushNumber(1);
    a.PushString("vars").Action(ActionCode::GetVariable).PushString("load");
    a.Action(ActionCode::CallMethod).Action(ActionCode::Pop);
    a.PushNumber(0).PushString("showPage").Action(ActionCode::CallFunction).Action(ActionCode::Pop);
    a.Action(ActionCode::Stop);
    return a.Finish();
}

// Next (step +1) and Previous (step -1): move one page within 1..pages.
std::vector<std::uint8_t> TurnPage(int step) {
    ActionAssembler a;
    if (step > 0) {
        a.PushString("page").Action(ActionCode::GetVariable).PushString("pages").Action(ActionCode::GetVariable);
    } else {
        a.PushNumber(1).PushString("page").Action(ActionCode::GetVariable);
    }
    a.Action(ActionCode::Less2).Action(ActionCode::Not).If("end");
    a.PushString("page").PushString("page").Action(ActionCode::GetVariable);
    a.Action(step > 0 ? ActionCode::Increment : ActionCode::Decrement).Action(ActionCode::SetVariable);
    a.PushNumber(0).PushString("showPage").Action(ActionCode::CallFunction).Action(ActionCode::Pop);
    a.Label("end");
    return a.Finish();
}

std::vector<std::uint8_t> Button(std::uint16_t id, std::uint16_t label, std::vector<std::uint8_t> onRelease) {
    return DefineButton2Body(id,
                             {
                                 ButtonRecord{kStateUp, kButtonUp, 1, {}, {}},
                                 ButtonRecord{kStateOver, kButtonOver, 1, {}, {}},
                                 ButtonRecord{kStateDown, kButtonDown, 1, {}, {}},
                                 ButtonRecord{kStateHitTest, kButtonUp, 1, {}, {}},
                                 ButtonRecord{kStateUp | kStateOver | kStateDown, label, 2, {}, {}},
                             },
                             {ButtonAction{kOverDownToOverUp, std::move(onRelease)}});
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
    tags.Add(TagCode::DefineText, DefineTextBody(kTitle, font, kFont, {TextLine{"User Guide", Px(72), Px(112), Px(48), kWhite}}));
    tags.Add(TagCode::DefineShape3, PageFrameShape());
    TagStream emptyTimeline;
    emptyTimeline.ShowFrame();
    emptyTimeline.End();
    tags.DefineSprite(kPageHolder, emptyTimeline);
    tags.Add(TagCode::DefineShape3, DotShape());
    tags.DefineSprite(kSpinner, SpinnerTimeline());

    tags.Add(TagCode::DefineShape3, ButtonShape(kButtonUp, Rgba{0x4A, 0x8A, 0xDA}, Rgba{0x2A, 0x5A, 0xA8}));
    tags.Add(TagCode::DefineShape3, ButtonShape(kButtonOver, Rgba{0x6A, 0xA6, 0xF0}, Rgba{0x3A, 0x72, 0xC4}));
    tags.Add(TagCode::DefineShape3, ButtonShape(kButtonDown, Rgba{0x22, 0x4E, 0x96}, Rgba{0x1A, 0x3C, 0x78}));
    const std::uint16_t labelHeight = Px(22);
    auto centredLabel = [&](std::uint16_t id, const std::string& text) {
        const std::int32_t width = TextWidth(font, text, labelHeight);
        tags.Add(TagCode::DefineText,
                 DefineTextBody(id, font, kFont, {TextLine{text, (Px(140) - width) / 2, Px(30), labelHeight, kWhite}}));
    };
    centredLabel(kButtonLabel, "Close");
    centredLabel(kPreviousLabel, "Previous");
    centredLabel(kNextLabel, "Next");
    ActionAssembler close;
    close.ExternalInterfaceCall("close");
    tags.Add(TagCode::DefineButton2, Button(kCloseButton, kButtonLabel, close.Finish()));
    tags.Add(TagCode::DefineButton2, Button(kPreviousButton, kPreviousLabel, TurnPage(-1)));
    tags.Add(TagCode::DefineButton2, Button(kNextButton, kNextLabel, TurnPage(+1)));

    // "Page n of m": two static words around two digit clips, on one baseline.
    const std::uint16_t counterHeight = Px(20);
    const std::int32_t gap = Px(8), digitWidth = TextWidth(font, "0", counterHeight);
    const std::int32_t pageX = Px(236), baseline = Px(500);
    const std::int32_t currentX = pageX + TextWidth(font, "Page", counterHeight) + gap;
    const std::int32_t ofX = currentX + digitWidth + gap;
    const std::int32_t totalX = ofX + TextWidth(font, "of", counterHeight) + gap;
    tags.Add(TagCode::DefineText, DefineTextBody(kCounterText, font, kFont,
                                                 {TextLine{"Page", pageX, baseline, counterHeight, kInk},
                                                  TextLine{"of", ofX, baseline, counterHeight, kInk}}));
    for (int digit = 0; digit < 10; ++digit) {
        tags.Add(TagCode::DefineText,
                 DefineTextBody(static_cast<std::uint16_t>(kDigit0 + digit), font, kFont,
                                {TextLine{std::string(1, static_cast<char>('0' + digit)), 0, 0, counterHeight, kInk}}));
    }
    tags.DefineSprite(kDigits, DigitTimeline());

    Place(tags, 1, kPanel, 0, 0);
    Place(tags, 2, kHeader, 0, 0);
    Place(tags, 3, kTitle, 0, 0);
    Place(tags, 4, kPageFrame, 0, 0);
    Place(tags, 5, kPageHolder, Px(72), Px(154), "holder");
    Place(tags, 6, kSpinner, Px(716), Px(90), "spinner");
    Place(tags, 7, kCloseButton, Px(72), Px(470), "closeButton");
    Place(tags, 8, kPreviousButton, Px(420), Px(470), "previousButton");
    Place(tags, 9, kNextButton, Px(588), Px(470), "nextButton");
    Place(tags, 10, kCounterText, 0, 0);
    Place(tags, 11, kDigits, currentX, baseline, "current");
    Place(tags, 12, kDigits, totalX, baseline, "total");
    tags.DoAction(MainScript());
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
