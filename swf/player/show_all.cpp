#include "swf/player/show_all.h"

#include <algorithm>

namespace swf {

Matrix ShowAllMatrix(const Rect& stage, int width, int height) {
    const double stageW = stage.Width();
    const double stageH = stage.Height();
    if (stageW <= 0 || stageH <= 0 || width <= 0 || height <= 0) {
        return Matrix::Scale(1.0 / 20, 1.0 / 20);  // no usable stage: plain twips to pixels
    }
    const double scale = std::min(width / stageW, height / stageH);
    const double offsetX = (width - stageW * scale) / 2 - stage.xMin * scale;
    const double offsetY = (height - stageH * scale) / 2 - stage.yMin * scale;
    return {scale, 0, 0, scale, offsetX, offsetY};
}

}  // namespace swf
