#include "swf/player/render/stage_scale.h"

#include <algorithm>
#include <cctype>

namespace swf {

namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// Where a stage of `extent` pixels starts in `room` pixels: at the start, at
// the end, or centred.
double Place(double room, double extent, bool toStart, bool toEnd) {
    if (toStart) return 0;
    if (toEnd) return room - extent;
    return (room - extent) / 2;
}

}  // namespace

ScaleMode ParseScaleMode(const std::string& mode) {
    const std::string m = Lower(mode);
    if (m == "noborder") return ScaleMode::NoBorder;
    if (m == "exactfit") return ScaleMode::ExactFit;
    if (m == "noscale") return ScaleMode::NoScale;
    return ScaleMode::ShowAll;
}

Matrix StageMatrix(const Rect& stage, int width, int height, ScaleMode mode, const std::string& align) {
    const double stageW = stage.Width();
    const double stageH = stage.Height();
    if (stageW <= 0 || stageH <= 0 || width <= 0 || height <= 0) {
        return Matrix::Scale(1.0 / 20, 1.0 / 20);  // no usable stage: plain twips to pixels
    }
    double sx = width / stageW;
    double sy = height / stageH;
    switch (mode) {
    case ScaleMode::ShowAll: sx = sy = std::min(sx, sy); break;
    case ScaleMode::NoBorder: sx = sy = std::max(sx, sy); break;
    case ScaleMode::ExactFit: break;
    case ScaleMode::NoScale: sx = sy = 1.0 / 20; break;
    }
    const std::string a = Lower(align);
    const auto has = [&](char c) { return a.find(c) != std::string::npos; };
    const double x = Place(width, stageW * sx, has('l'), has('r'));
    const double y = Place(height, stageH * sy, has('t'), has('b'));
    return {sx, 0, 0, sy, x - stage.xMin * sx, y - stage.yMin * sy};
}

}  // namespace swf
