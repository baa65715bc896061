// Pictures as loaded content: a one-frame movie showing the picture at the
// clip's origin, one picture pixel to one stage pixel.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/loading/loading_fixture.h"
#include "swf/files/native_file_host.h"
#include "swf/model/bitmap.h"
#include "swf/model/shape.h"
#include "swf/player/display/hit_test.h"
#include "swf/player/loading/loaded_content.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/player.h"
#include "swf/player/stage.h"
#include "swf/raster/surface.h"

namespace loading_test {
namespace {

TEST(PictureMovie, ThePictureCoversItsPixelSizeAtTheOrigin) {
    auto image = std::make_shared<swf::raster::Image>();
    image->width = 3;
    image->height = 2;
    image->pixels.assign(6, 0xFF112233);
    const auto movie = swf::PictureMovie(image);
    EXPECT_EQ(movie->header.frameSize.Width(), 60);
    EXPECT_EQ(movie->header.frameSize.Height(), 40);
    ASSERT_EQ(movie->timeline.frames.size(), 1u);

    swf::Stage stage(movie);
    const auto& children = stage.Root().Children();
    ASSERT_EQ(children.size(), 1u);
    const swf::DisplayObject& picture = *children.begin()->second;
    ASSERT_EQ(picture.Kind(), swf::DisplayKind::Shape);
    // Filled exactly over [0, 60) x [0, 40) twips.
    EXPECT_TRUE(swf::ObjectContains(picture, {}, {1, 1}));
    EXPECT_TRUE(swf::ObjectContains(picture, {}, {59, 39}));
    EXPECT_FALSE(swf::ObjectContains(picture, {}, {61, 20}));
    EXPECT_FALSE(swf::ObjectContains(picture, {}, {30, 41}));
    const auto& fill = static_cast<const swf::ShapeDefinition*>(picture.GetCharacter())->shape.layers.at(0).fills.at(0);
    EXPECT_EQ(fill.kind, swf::FillKind::Bitmap);
    EXPECT_EQ(fill.bitmap, image);
    EXPECT_FALSE(fill.bitmapRepeat);
    // A picture pixel spans 20 twips.
    EXPECT_EQ(fill.matrix.Apply({1, 1}).x, 20);
    EXPECT_EQ(fill.matrix.Apply({1, 1}).y, 20);
}

std::uint32_t Channel(std::uint32_t pixel, int shift) { return pixel >> shift & 0xFF; }

bool Near(std::uint32_t pixel, std::uint32_t expected, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int d = static_cast<int>(Channel(pixel, shift)) - static_cast<int>(Channel(expected, shift));
        if (d < -tolerance || d > tolerance) return false;
    }
    return true;
}

// Pictures ImageMagick made at build time: page1.png is 20 x 20 red then
// 20 x 20 blue; page2.jpg 40 x 20 lime; page3.gif 10 x 10 yellow.
TEST(LoadMovie, PicturesShowAtTheClipOriginOnePixelPerPixel) {
    TempFolders folders;
    const std::filesystem::path pictures(LOADING_TEST_PICTURES);
    std::filesystem::create_directories(folders.Movie() / "UserGuide_Page_img");
    for (const char* name : {"page1.png", "page2.jpg", "page3.gif"}) {
        std::filesystem::copy_file(pictures / name, folders.Movie() / "UserGuide_Page_img" / name);
    }
    folders.Write("UserGuide_Page_img/broken.png", std::string("\x89PNG\r\n\x1a\nbroken", 14));
    swf::NativeFileHost files(folders.Movie());
    ReportHost host;
    swf::Player player;
    player.SetHost(&host);
    player.SetFileHost(&files);
    ActionAssembler first;
    first.PushString("UserGuide_Page_img/page1.png").PushString("holder").GetURL2(0x40);
    first.GetURL("UserGuide_Page_img/page2.jpg", "_level1");
    first.PushString("UserGuide_Page_img/page3.gif").PushString("holder2").GetURL2(0x40);
    first.PushString("UserGuide_Page_img/broken.png").PushString("holder3").GetURL2(0x40);
    first.Action(swf::writer::ActionCode::Stop);
    auto definitions = [](swf::writer::TagStream& tags) {
        tags.DefineSprite(10, swf::writer::TagStream{});
        for (std::uint16_t depth : {1, 2, 3}) {
            swf::writer::PlaceObject place;
            place.depth = depth;
            place.characterId = 10;
            place.name = depth == 1 ? "holder" : depth == 2 ? "holder2" : "holder3";
            place.hasMatrix = true;
            place.matrix = swf::writer::Matrix::Translate(depth == 1 ? 2000 : 3000, depth == 1 ? 600 : 1600);
            tags.PlaceObject2(place);
        }
    };
    ASSERT_TRUE(player.Load(ScriptMovie(definitions, {first})));
    player.AdvanceFrame();
    swf::raster::Surface surface(200, 100);
    player.Render(surface);
    EXPECT_TRUE(Near(surface.pixel(5, 5), 0xFF00FF00, 6));  // page2.jpg on level 1
    EXPECT_TRUE(Near(surface.pixel(38, 18), 0xFF00FF00, 6));
    EXPECT_EQ(surface.pixel(42, 5), 0xFFFFFFFF);
    EXPECT_TRUE(Near(surface.pixel(102, 32), 0xFFFF0000, 2));  // page1.png's red half at the holder
    EXPECT_TRUE(Near(surface.pixel(118, 48), 0xFFFF0000, 2));
    EXPECT_TRUE(Near(surface.pixel(122, 32), 0xFF0000FF, 2));  // and its blue half
    EXPECT_EQ(surface.pixel(98, 32), 0xFFFFFFFF);
    EXPECT_EQ(surface.pixel(142, 32), 0xFFFFFFFF);
    EXPECT_TRUE(Near(surface.pixel(152, 82), 0xFFFFFF00, 2));  // page3.gif
    EXPECT_EQ(surface.pixel(162, 82), 0xFFFFFFFF);
    bool warned = false;
    for (const std::string& w : player.Warnings()) warned = warned || w.find("broken.png") != std::string::npos;
    EXPECT_TRUE(warned);
}

}  // namespace
}  // namespace loading_test
