#pragma once
// Where the demo guide's parts lie on its stage, in stage pixels, for the
// tests that drive the real program on it.

#include <windows.h>

namespace demo_layout {

constexpr double kStageWidth = 800, kStageHeight = 600;
constexpr POINT kCloseButtonCentre{142, 492};
constexpr POINT kPreviousButtonCentre{490, 492};
constexpr POINT kNextButtonCentre{658, 492};
// Inside the page pictures' coloured top band (the pictures lie at 72, 154).
constexpr POINT kPageBandPoint{92, 170};

}  // namespace demo_layout
