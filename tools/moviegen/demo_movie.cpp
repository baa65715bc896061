// The user-guide demo movie.

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <span>
#include <string>

#include "tools/moviegen/demo_scripts.h"
#include "tools/moviegen/movies.h"

#include "swf/writer/action_assembler.h"
#include "swf/writer/edit_text.h"
#include "swf/writer/font.h"
#include "swf/writer/movie.h"
#include "swf/writer/shape.h"
#include "swf/writer/sound.h"
#include "swf/writer/video.h"
#include "swf/sound/mp3_frames.h"

namespace moviegen {

using namespace swf::writer;

namespace {

constexpr std::int32_t kTwips = 20;
constexpr std::int32_t Px(std::int32_t pixels) { return pixels * kTwips; }

// Character ids.
enum : std::uint16_t {
    kFont = 1,
    kPanel,
    kHeader,
    kGuideTitle,
    kPageTitle,
    kPageFrame,
    kPageHolder,
    kDot,
    kSpinner,
    kButtonUp,
    kButtonOver,
    kButtonDown,
    kButtonLabel,
    kButton,
    kCounter,
    kSearchLabel,
    kSearch,
    kIntroSound,
    kClickSound,
    kPageCard,
    kVideo,
    kVideoBackdrop,
    kRecordingClock,
    kRecording,
    kPageBody,
    kBodyPlain,
};

// Where the pages and their variables lie, relative to the movie.
constexpr const char* kPageFolder = "UserGuide_Page_img/";
// The recording page's video box, in pixels, at the page pictures' corner
// (72, 154): as wide as the pictures, with the play button and the time
// read-out under it.
constexpr std::uint16_t kVideoWidth = 656, kVideoHeight = 240;
// The page's text lies over the white card of its picture (picture pixels 24
// to 632 across, 70 to 282 down), left of the sketch drawn at the card's right.
const Rect kBodyBounds{Px(108), Px(512), Px(230), Px(420)};

const Rgba kInk{0x33, 0x3A, 0x46};
const Rgba kWhite{0xFF, 0xFF, 0xFF};

std::vector<std::uint8_t> PanelShape() {
    ShapeBuilder s;
    Rect box{Px(40), Px(760), Px(40), Px(560)};
    auto fill = s.AddFill(
        FillStyle::Linear(box, std::numbers::pi / 2, {{0, Rgba{0xFF, 0xFF, 0xFF}}, {255, Rgba{0xDD, 0xE6, 0xF2}}}));
    auto line = s.AddLine(LineStyle{Px(2), Rgba{0xA8, 0xB8, 0xCC}});
    s.RoundedRectangle(box, Px(24), fill, line);
    return s.DefineShapeBody(kPanel, 3);
}

std::vector<std::uint8_t> HeaderShape() {
    ShapeBuilder s;
    Rect box{Px(40), Px(760), Px(40), Px(140)};
    auto fill = s.AddFill(
        FillStyle::Linear(box, std::numbers::pi / 2, {{0, Rgba{0x3C, 0x78, 0xC8}}, {255, Rgba{0x1E, 0x46, 0x8C}}}));
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

// What the video box shows while no picture has come: a dark screen.
std::vector<std::uint8_t> VideoBackdropShape() {
    ShapeBuilder s;
    auto fill = s.AddFill(FillStyle::Solid(Rgba{0x20, 0x26, 0x30}));
    s.Rectangle(Rect{0, Px(kVideoWidth), 0, Px(kVideoHeight)}, fill);
    return s.DefineShapeBody(kVideoBackdrop, 3);
}

// A field of the movie's text: read-only and not selectable unless it is
// input, in the embedded block font or the device font `deviceFont`.
EditTextField Field(Rect bounds, std::uint16_t fontHeight, Rgba color, const char* deviceFont = nullptr) {
    EditTextField f;
    f.bounds = bounds;
    if (deviceFont) {
        f.fontClass = deviceFont;
    } else {
        f.fontId = kFont;
        f.useOutlines = true;
    }
    f.fontHeight = fontHeight;
    f.textColor = color;
    f.readOnly = true;
    f.noSelect = true;
    return f;
}

// The navigation button symbol: frames "up", "over" and "down" show the
// box's three looks under a centred label showing the clip's `label`; the
// "down" frame clicks when `click`.
TagStream ButtonTimeline(bool click) {
    TagStream t;
    const std::uint16_t looks[] = {kButtonUp, kButtonOver, kButtonDown};
    const char* labels[] = {"up", "over", "down"};
    for (int frame = 0; frame < 3; ++frame) {
        if (frame > 0) t.RemoveObject2(1);
        PlaceObject look;
        look.depth = 1;
        look.characterId = looks[frame];
        t.PlaceObject2(look);
        if (frame == 0) {
            PlaceObject label;
            label.depth = 2;
            label.characterId = kButtonLabel;
            label.name = "labelField";
            t.PlaceObject2(label);
            ActionAssembler stop;
            stop.Action(ActionCode::Stop);
            t.DoAction(stop.Finish());
        }
        if (frame == 2 && click) t.Add(TagCode::StartSound, StartSoundBody(kClickSound, {}));
        t.FrameLabel(labels[frame]);
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

// The recording page's clip: the dark box, the Video object a script plays
// the recording in (a DefineVideoStream with no frames of its own, as
// authoring tools place one), and the time read-out right of the play button
// the script attaches.
TagStream RecordingTimeline() {
    TagStream t;
    Place(t, 1, kVideoBackdrop, 0, 0);
    Place(t, 2, kVideo, 0, 0, demo::kRecordingScreen);
    Place(t, 3, kRecordingClock, 0, 0, demo::kRecordingClock);
    t.ShowFrame();
    t.End();
    return t;
}

// DefineSound for a WAV file's 16-bit PCM at one of the format's rates;
// nothing for another kind of file.
std::optional<std::vector<std::uint8_t>> WavSound(std::uint16_t id, const std::vector<std::uint8_t>& wav) {
    const auto u16 = [&](std::size_t at) { return static_cast<std::uint32_t>(wav[at] | wav[at + 1] << 8); };
    const auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
    if (wav.size() < 12 || std::string(wav.begin(), wav.begin() + 4) != "RIFF") return std::nullopt;
    std::uint32_t channels = 0, rate = 0, bits = 0;
    for (std::size_t at = 12; at + 8 <= wav.size();) {
        const std::string chunk(wav.begin() + static_cast<std::ptrdiff_t>(at),
                                wav.begin() + static_cast<std::ptrdiff_t>(at + 4));
        const std::uint32_t size = u32(at + 4);
        if (chunk == "fmt " && at + 24 <= wav.size()) {
            channels = u16(at + 10);
            rate = u32(at + 12);
            bits = u16(at + 22);
        } else if (chunk == "data") {
            const int rateCode = rate == 44100 ? 3 : rate == 22050 ? 2 : rate == 11025 ? 1 : -1;
            if (bits != 16 || (channels != 1 && channels != 2) || rateCode < 0) return std::nullopt;
            const std::size_t end = std::min<std::size_t>(wav.size(), at + 8 + size);
            const std::span<const std::uint8_t> data(wav.data() + at + 8, end - (at + 8));
            const auto format = static_cast<std::uint8_t>(3 << 4 | rateCode << 2 | 1 << 1 | (channels == 2));
            return DefineSoundBody(id, format, static_cast<std::uint32_t>(data.size() / (2 * channels)), data);
        }
        at += 8 + size + (size & 1);
    }
    return std::nullopt;
}

// DefineSound for an MP3 file's frames; nothing when it holds none.
std::optional<std::vector<std::uint8_t>> Mp3Sound(std::uint16_t id, const std::vector<std::uint8_t>& mp3) {
    const swf::sound::Mp3Frames frames = swf::sound::ScanMp3Frames(mp3);
    if (!frames.first || frames.count == 0) return std::nullopt;
    const int rate = frames.first->sampleRate;
    const int rateCode = rate == 44100 ? 3 : rate == 22050 ? 2 : rate == 11025 ? 1 : -1;
    if (rateCode < 0) return std::nullopt;
    const auto format = static_cast<std::uint8_t>(2 << 4 | rateCode << 2 | 1 << 1 | (frames.first->channels == 2));
    return DefineSoundBody(id, format, static_cast<std::uint32_t>(frames.samples), std::span(mp3).first(frames.bytes));
}

}  // namespace

std::vector<std::uint8_t> BuildDemoMovie(const DemoSounds* sounds) {
    FontBuilder font = MakeBlockFont("Guide Block", 20480);

    TagStream tags;
    tags.FileAttributes(0);
    tags.SetBackgroundColor(Rgb{0xF4, 0xF6, 0xFA});
    tags.Add(TagCode::DefineFont3, font.DefineFontBody(kFont));
    tags.Add(TagCode::DefineShape3, PanelShape());
    tags.Add(TagCode::DefineShape3, HeaderShape());
    // The guide's title over the page's, both set by the script; the first
    // says "User Guide" until the guide's variables arrive.
    EditTextField guideTitle = Field(Rect{Px(64), Px(700), Px(46), Px(96)}, Px(36), kWhite);
    guideTitle.initialText = "User Guide";
    tags.Add(TagCode::DefineEditText, DefineEditTextBody(kGuideTitle, guideTitle));
    tags.Add(TagCode::DefineEditText,
             DefineEditTextBody(kPageTitle, Field(Rect{Px(64), Px(700), Px(98), Px(130)}, Px(20), kWhite, "_sans")));
    tags.Add(TagCode::DefineShape3, PageFrameShape());
    TagStream cardTimeline;
    PlaceObject frame;
    frame.characterId = kPageFrame;
    cardTimeline.PlaceObject2(frame);
    cardTimeline.ShowFrame();
    cardTimeline.End();
    tags.DefineSprite(kPageCard, cardTimeline);
    TagStream emptyTimeline;
    emptyTimeline.ShowFrame();
    emptyTimeline.End();
    tags.DefineSprite(kPageHolder, emptyTimeline);
    tags.Add(TagCode::DefineShape3, DotShape());
    tags.DefineSprite(kSpinner, SpinnerTimeline());

    tags.Add(TagCode::DefineShape3, ButtonShape(kButtonUp, Rgba{0x4A, 0x8A, 0xDA}, Rgba{0x2A, 0x5A, 0xA8}));
    tags.Add(TagCode::DefineShape3, ButtonShape(kButtonOver, Rgba{0x6A, 0xA6, 0xF0}, Rgba{0x3A, 0x72, 0xC4}));
    tags.Add(TagCode::DefineShape3, ButtonShape(kButtonDown, Rgba{0x22, 0x4E, 0x96}, Rgba{0x1A, 0x3C, 0x78}));
    EditTextField label = Field(Rect{0, Px(140), Px(10), Px(40)}, Px(22), kWhite);
    label.hasLayout = true;
    label.align = FieldAlign::Center;
    label.variableName = demo::kButtonLabelVariable;
    tags.Add(TagCode::DefineEditText, DefineEditTextBody(kButtonLabel, label));
    std::optional<std::vector<std::uint8_t>> click, intro;
    if (sounds != nullptr) {
        click = WavSound(kClickSound, sounds->click);
        intro = Mp3Sound(kIntroSound, sounds->intro);
    }
    if (click) tags.Add(TagCode::DefineSound, *click);
    if (intro) tags.Add(TagCode::DefineSound, *intro);
    tags.DefineSprite(kButton, ButtonTimeline(click.has_value()));
    tags.ExportAssets({{kButton, demo::kButtonLinkage}});
    tags.DoInitAction(kButton, demo::ButtonClass().Finish());

    tags.Add(TagCode::DefineShape3, VideoBackdropShape());
    tags.Add(TagCode::DefineVideoStream, DefineVideoStreamBody(kVideo, VideoStream{0, kVideoWidth, kVideoHeight, 0,
                                                                                   true, VideoCodec::ScreenVideo2}));
    EditTextField clock = Field(Rect{Px(476), Px(656), Px(256), Px(282)}, Px(18), kInk, "_sans");
    clock.hasLayout = true;
    clock.align = FieldAlign::Right;
    tags.Add(TagCode::DefineEditText, DefineEditTextBody(kRecordingClock, clock));
    tags.DefineSprite(kRecording, RecordingTimeline());
    // The page's HTML body, in a system font so that it stays sharp when the
    // window is scaled; and a hidden twin whose text is a body without its tags.
    EditTextField body = Field(kBodyBounds, Px(17), kInk, "_sans");
    body.html = body.multiline = body.wordWrap = true;
    body.hasLayout = true;
    body.leading = static_cast<std::int16_t>(Px(4));
    tags.Add(TagCode::DefineEditText, DefineEditTextBody(kPageBody, body));
    tags.Add(TagCode::DefineEditText, DefineEditTextBody(kBodyPlain, body));

    // "Page n of m" between Close and Previous; the search field under them.
    tags.Add(TagCode::DefineEditText,
             DefineEditTextBody(kCounter, Field(Rect{Px(230), Px(410), Px(480), Px(506)}, Px(18), kInk, "_sans")));
    tags.Add(TagCode::DefineEditText, DefineEditTextBody(kSearchLabel, [] {
                 EditTextField f = Field(Rect{Px(72), Px(236), Px(524), Px(550)}, Px(16), kInk, "_sans");
                 f.initialText = "Search the guide:";
                 return f;
             }()));
    EditTextField search = Field(Rect{Px(240), Px(728), Px(522), Px(550)}, Px(16), Rgba{0, 0, 0}, "_sans");
    search.readOnly = false;
    search.noSelect = false;
    search.border = true;
    search.maxLength = 40;
    tags.Add(TagCode::DefineEditText, DefineEditTextBody(kSearch, search));

    Place(tags, 1, kPanel, 0, 0);
    Place(tags, 2, kHeader, 0, 0);
    Place(tags, 3, kGuideTitle, 0, 0, demo::kGuideTitle);
    Place(tags, 4, kPageTitle, 0, 0, demo::kPageTitle);
    Place(tags, 5, kPageCard, 0, 0, demo::kPageCard);
    Place(tags, 6, kPageHolder, Px(72), Px(154), demo::kHolder);
    Place(tags, 7, kSpinner, Px(716), Px(90), "spinner");
    Place(tags, 8, kCounter, 0, 0, demo::kCounter);
    Place(tags, 9, kSearchLabel, 0, 0);
    Place(tags, 10, kSearch, 0, 0, demo::kSearch);
    Place(tags, 11, kRecording, Px(72), Px(154), demo::kRecording);
    Place(tags, 12, kPageBody, 0, 0, demo::kPageBody);
    Place(tags, 13, kBodyPlain, 0, 0, demo::kBodyPlain);
    if (intro) tags.Add(TagCode::StartSound, StartSoundBody(kIntroSound, {}));
    tags.DoAction(demo::GuideScript(kPageFolder).Finish());
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
