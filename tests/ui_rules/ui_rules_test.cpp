#include <gtest/gtest.h>

#include "ui/rules/button_pictures.h"
#include "ui/rules/movie_paths.h"
#include "ui/rules/window_placement.h"

namespace {

using namespace ui;

TEST(BasePath, CutsBeforeTheLastDotEvenInAFolderName) {
    EXPECT_EQ(BasePath("D:\\Guides\\Intro.exe"), "D:\\Guides\\Intro");
    EXPECT_EQ(BasePath("C:\\x\\a.b.exe"), "C:\\x\\a.b");
    EXPECT_EQ(BasePath("C:\\Apps\\Guide.old\\run"), "C:\\Apps\\Guide");
    EXPECT_EQ(BasePath("C:\\Apps\\run"), std::nullopt);
    EXPECT_EQ(BasePath(".x"), "");              // the first character is scanned too
    EXPECT_EQ(BasePath("abc."), std::nullopt);  // the last character is not
    EXPECT_EQ(BasePath("a.."), "a");
    EXPECT_EQ(BasePath("."), std::nullopt);
    EXPECT_EQ(BasePath(""), std::nullopt);
    EXPECT_EQ(MoviePath("D:\\Guides\\Intro"), "D:\\Guides\\Intro.swf");
    EXPECT_EQ(SettingsPath("D:\\Guides\\Intro"), "D:\\Guides\\Intro_Page_img\\Page_var.txt");
}

TEST(WindowPlacement, CentringTruncatesTowardZero) {
    EXPECT_EQ(CentredOffset(1024, 801), 111);
    EXPECT_EQ(CentredOffset(800, 1015), -107);
    EXPECT_EQ(CentredOffset(1280, 1280), 0);
    EXPECT_EQ(CentredOffset(1024, 1031), -3);  // -7 / 2
    EXPECT_EQ(CentredOffset(1024, 0), 512);
    EXPECT_EQ(CentredOffset(0, 2147483647), -1073741823);
    EXPECT_EQ(CentredOffset(1024, -2147483647 - 1), 1073742336);
}

TEST(WindowPlacement, MovieAndGripBounds) {
    EXPECT_EQ(FlashBounds(956, 593), (Rect{3, 0, 950, 590}));
    EXPECT_EQ(FlashBounds(300, 300), (Rect{3, 0, 294, 297}));
    EXPECT_EQ(GripPosition({100, 50, 956, 622}), (Point{1041, 657}));
    EXPECT_EQ(GripPosition({-107, 0, 1015, 700}), (Point{893, 685}));
}

TEST(WindowPlacement, BorderZonesAtTheirBoundaries) {
    const int W = 956, H = 593;
    EXPECT_EQ(ZoneAt(W - 1, H - 1, W, H), BorderZone::LowerRight);
    EXPECT_EQ(ZoneAt(W - 7, H - 8, W, H), BorderZone::LowerRight);  // Y = H - 8 is a bottom zone
    EXPECT_EQ(ZoneAt(W - 8, H - 8, W, H), BorderZone::Bottom);      // X = W - 8 is not a right zone
    EXPECT_EQ(ZoneAt(7, H - 8, W, H), BorderZone::LowerLeft);
    EXPECT_EQ(ZoneAt(8, H - 8, W, H), BorderZone::Bottom);  // X = 8 is not a left zone
    EXPECT_EQ(ZoneAt(W - 7, H - 9, W, H), BorderZone::Right);
    EXPECT_EQ(ZoneAt(0, H - 9, W, H), BorderZone::Left);
    EXPECT_EQ(ZoneAt(7, 0, W, H), BorderZone::Left);
    EXPECT_EQ(ZoneAt(8, 0, W, H), BorderZone::Rest);
    EXPECT_EQ(ZoneAt(W - 8, 100, W, H), BorderZone::Rest);

    EXPECT_EQ(ZoneCursor(BorderZone::LowerRight), -8);
    EXPECT_EQ(ZoneCursor(BorderZone::LowerLeft), -6);
    EXPECT_EQ(ZoneCursor(BorderZone::Bottom), -7);
    EXPECT_EQ(ZoneCursor(BorderZone::Right), -9);
    EXPECT_EQ(ZoneCursor(BorderZone::Left), -9);
    EXPECT_EQ(ZoneCursor(BorderZone::Rest), -9);

    EXPECT_EQ(ZoneCommand(BorderZone::LowerRight), 0xF008u);
    EXPECT_EQ(ZoneCommand(BorderZone::LowerLeft), 0xF007u);
    EXPECT_EQ(ZoneCommand(BorderZone::Bottom), 0xF006u);
    EXPECT_EQ(ZoneCommand(BorderZone::Right), 0xF002u);
    EXPECT_EQ(ZoneCommand(BorderZone::Left), 0xF001u);
    EXPECT_EQ(ZoneCommand(BorderZone::Rest), std::nullopt);
}

TEST(ButtonPictures, HoverTableInBothWindowStates) {
    // hover value -> minimise, maximise (normal / maximised), close
    EXPECT_EQ(PicturesFor(1, false), (ButtonPictures{1, 2, 4}));
    EXPECT_EQ(PicturesFor(1, true), (ButtonPictures{1, 6, 4}));
    EXPECT_EQ(PicturesFor(2, false), (ButtonPictures{0, 3, 4}));
    EXPECT_EQ(PicturesFor(2, true), (ButtonPictures{0, 7, 4}));
    EXPECT_EQ(PicturesFor(3, false), (ButtonPictures{0, 2, 5}));
    EXPECT_EQ(PicturesFor(3, true), (ButtonPictures{0, 6, 5}));
    EXPECT_EQ(PicturesFor(0, false), (ButtonPictures{0, 2, 4}));
    EXPECT_EQ(PicturesFor(0, true), (ButtonPictures{0, 6, 4}));
}

TEST(ButtonPictures, MaximizeClickTogglesCommandAndPicture) {
    EXPECT_EQ(MaximizeClick(false).Command, 0xF030u);
    EXPECT_EQ(MaximizeClick(false).Picture, 6);
    EXPECT_EQ(MaximizeClick(true).Command, 0xF120u);
    EXPECT_EQ(MaximizeClick(true).Picture, 2);
}

}  // namespace
