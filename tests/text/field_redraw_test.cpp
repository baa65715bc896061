// Text fields under partial redraw: the recording walk remembers what an
// unchanged field drew, so every input of a field's drawing, changed alone,
// must still give the pixels of a whole redraw.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <unistd.h>
#include <utility>
#include <vector>

#include "swf/fonts/freetype/freetype_fonts.h"
#include "swf/player/fields/edit_text_instance.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/player.h"
#include "swf/raster/surface.h"
#include "swf/writer/action_assembler.h"
#include "swf/writer/edit_text.h"
#include "swf/writer/font.h"
#include "swf/writer/movie.h"
#include "tests/swf/surface_compare.h"

namespace swf {
namespace {

namespace w = swf::writer;
namespace fs = std::filesystem;

enum : std::uint16_t { kFontId = 1, kEntryId, kBoundId };
enum : std::uint16_t { kEntryDepth = 1, kBoundDepth = 2 };

void Place(w::TagStream& t, std::uint16_t depth, std::uint16_t id, std::int32_t x, std::int32_t y) {
    w::PlaceObject p;
    p.depth = depth;
    p.characterId = id;
    p.hasMatrix = true;
    p.matrix = w::Matrix::Translate(x, y);
    t.PlaceObject2(p);
}

// A 400 x 300 px stage with two fields: an input field in an embedded block
// font whose first line is wider than its box and whose lines do not all fit,
// and a device-font field bound to the variable `shown`, which frame 2 sets.
std::vector<std::uint8_t> FieldsMovie() {
    w::TagStream t;
    t.SetBackgroundColor({240, 240, 230});
    const w::FontBuilder font = w::MakeBlockFont("Block", 1024);
    t.Add(w::TagCode::DefineFont2, font.DefineFontBody(kFontId));

    w::EditTextField entry;
    entry.bounds = {0, 4000, 0, 1200};  // 200 x 60 px
    entry.multiline = true;
    entry.border = true;
    entry.useOutlines = true;
    entry.fontId = kFontId;
    entry.fontHeight = 400;
    entry.textColor = w::Rgba{10, 10, 120, 255};
    entry.initialText = "ONE TWO THREE FOUR FIVE\rSECOND\rTHIRD\rFOURTH";
    t.Add(w::TagCode::DefineEditText, w::DefineEditTextBody(kEntryId, entry));

    w::EditTextField bound;
    bound.bounds = {0, 4000, 0, 600};
    bound.readOnly = true;
    bound.fontClass = "_sans";
    bound.fontHeight = 360;
    bound.textColor = w::Rgba{0, 0, 0, 255};
    bound.variableName = "shown";
    bound.initialText = "Before";
    t.Add(w::TagCode::DefineEditText, w::DefineEditTextBody(kBoundId, bound));

    Place(t, kEntryDepth, kEntryId, 1000, 1000);
    Place(t, kBoundDepth, kBoundId, 1000, 4000);
    t.ShowFrame();
    w::ActionAssembler set;
    set.PushString("shown").PushString("Bound text").Action(w::ActionCode::SetVariable).Action(w::ActionCode::Stop);
    t.DoAction(set.Finish());
    t.ShowFrame();
    w::MovieHeader header;
    header.frameSize = {0, 8000, 0, 6000};
    return w::BuildMovie(header, t);
}

using test::DifferentPixels;

// A font folder holding DejaVu Serif alone: a provider reading it answers
// _sans with serif glyphs.
class SerifOnlyFolder {
public:
    SerifOnlyFolder() : path_(fs::temp_directory_path() / ("field-redraw-serif-" + std::to_string(getpid()))) {
        fs::create_directories(path_);
        fs::copy_file(fs::path(fonts::FreeTypeFontProvider::kDefaultFolder) / "DejaVuSerif.ttf",
                      path_ / "DejaVuSerif.ttf", fs::copy_options::overwrite_existing);
    }
    ~SerifOnlyFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    SerifOnlyFolder(const SerifOnlyFolder&) = delete;
    SerifOnlyFolder& operator=(const SerifOnlyFolder&) = delete;
    std::string Path() const { return path_.string(); }

private:
    fs::path path_;
};

TEST(FieldRedraw, EveryInputOfAFieldChangedAloneMatchesAWholeRedraw) {
    constexpr int kWidth = 400, kHeight = 300;
    fonts::FreeTypeFontProvider sans;
    const SerifOnlyFolder serifFolder;
    fonts::FreeTypeFontProvider serif(serifFolder.Path());
    ASSERT_NE(serif.FileFor("_sans", false, false).find("DejaVuSerif"), std::string::npos);

    Player player;
    player.SetFontProvider(&sans);
    ASSERT_TRUE(player.Load(FieldsMovie())) << player.LoadError();
    ASSERT_TRUE(player.Warnings().empty());
    raster::Surface partial(kWidth, kHeight);
    player.RenderChanges(partial);
    // Unchanged fields draw nothing the second time.
    EXPECT_TRUE(player.RenderChanges(partial).empty());
    raster::Surface previous(kWidth, kHeight);
    player.Render(previous);

    auto& entry = static_cast<EditTextInstance&>(*player.Root()->Children().at(kEntryDepth));
    auto& bound = static_cast<EditTextInstance&>(*player.Root()->Children().at(kBoundDepth));
    ASSERT_TRUE(entry.Session().Editable());
    ASSERT_GT(entry.Model().MaxScroll(), 1);
    ASSERT_GT(entry.Model().MaxHScroll(), 0);
    const auto moveEntry = [&](const std::function<void(Placement&)>& change) {
        Placement p = entry.GetPlacement();
        change(p);
        entry.SetPlacement(p);
    };

    const std::vector<std::pair<std::string, std::function<void()>>> steps = {
        {"variable", [&] { player.AdvanceFrame(); }},
        {"text", [&] { entry.Model().SetText("ONE TWO THREE FOUR FIVE\r2ND\rTHIRD\rFOURTH"); }},
        {"format run",
         [&] { entry.Model().ChangeFormat(0, 3, [](text::TextFormat& f) {
                   f.color = {200, 0, 0, 255};
               }); }},
        {"html",
         [&] {
             entry.Model().SetHtml(true);
             entry.Model().SetHtmlText(
                 "<p><font color=\"#00A000\">ONE TWO THREE FOUR FIVE</font></p><p>2ND</p><p>THIRD</p>"
                 "<p>FOURTH</p>");
         }},
        {"scroll", [&] { entry.Model().SetScroll(2); }},
        {"hscroll", [&] { entry.Model().SetHScroll(20); }},
        {"box size", [&] { entry.Model().SetBoxSize(3000, 900); }},
        // The caret goes after "2ND" (the first line shown, partly scrolled off)
        // while the field has no focus: nothing shows until it has.
        {"focus",
         [&] {
             entry.Session().SetSelection(27, 27);
             entry.Session().SetFocused(true);
         }},
        {"caret blinks off", [&] { entry.Session().SetCaretShown(false); }},
        {"caret blinks on", [&] { entry.Session().SetCaretShown(true); }},
        {"caret moves", [&] { entry.Session().SetSelection(26, 26); }},
        {"selection", [&] { entry.Session().SetSelection(25, 27); }},
        {"focus lost", [&] { entry.Session().SetFocused(false); }},
        // A field with a border has a white background too.
        {"background off", [&] { entry.Model().SetBackground(false); }},
        {"background on", [&] { entry.Model().SetBackground(true); }},
        {"background colour",
         [&] {
             entry.Model().SetBackgroundColor({255, 230, 150, 255});
         }},
        {"border colour",
         [&] {
             entry.Model().SetBorderColor({0, 0, 255, 255});
         }},
        {"border off", [&] { entry.Model().SetBorder(false); }},
        {"password", [&] { entry.Model().SetPassword(true); }},
        {"device font", [&] { entry.Model().SetEmbedFonts(false); }},
        {"font provider", [&] { player.SetFontProvider(&serif); }},
        {"matrix", [&] { moveEntry([](Placement& p) { p.matrix.tx += 300; }); }},
        {"colour transform", [&] { moveEntry([](Placement& p) { p.colorTransform.rAdd = 120; }); }},
        {"bound field's own text", [&] { bound.Model().SetText("Typed"); }},
    };
    for (const auto& [name, change] : steps) {
        SCOPED_TRACE(name);
        change();
        test::ExpectPartialRedrawMatchesWhole(player, partial, previous);
    }
    player.AdvanceFrame();
    EXPECT_TRUE(player.RenderChanges(partial).empty());
}

}  // namespace
}  // namespace swf
