#pragma once

// The anti-aliased rasterizer: paths of lines and quadratic curves, filled or
// stroked with solid colours, gradients or pictures onto premultiplied 32-bit
// surfaces, optionally clipped by coverage masks.
#include "swf/raster/color.h"
#include "swf/raster/coverage_mask.h"
#include "swf/raster/fill_rule.h"
#include "swf/raster/geometry.h"
#include "swf/raster/paint.h"
#include "swf/raster/path.h"
#include "swf/raster/rasterizer.h"
#include "swf/raster/stroke_style.h"
#include "swf/raster/surface.h"
