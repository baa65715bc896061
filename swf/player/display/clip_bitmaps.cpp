// The parts of MovieClip that BitmapData reaches: bitmaps attached at script
// depths, the bitmaps the movie exports, and a clip drawn into a bitmap.

#include <utility>

#include "swf/io/export_parser.h"
#include "swf/model/bitmap.h"
#include "swf/player/display/attached_bitmap.h"
#include "swf/player/display/movie_clip.h"
#include "swf/player/render/renderer.h"

namespace swf {

bool MovieClip::AttachBitmap(std::shared_ptr<const raster::BitmapData> bitmap, int depth, PixelSnapping snapping,
                             bool smoothing) {
    if (!bitmap || depth < kMinScriptDepth || depth > kMaxScriptDepth) return false;
    auto object = std::make_unique<AttachedBitmap>(Placement{}, std::move(bitmap), snapping, smoothing);
    if (!environment_.AdmitInstance(*object)) return false;
    object->Script().dynamic = true;
    object->SetParent(this);
    object->SetBornInStep(steps_);
    const int key = depth + kScriptDepthOffset;
    if (const auto old = children_.find(key); old != children_.end()) {
        environment_.Retire(std::move(old->second));
        children_.erase(old);
    }
    children_.emplace(key, std::move(object));
    return true;
}

std::shared_ptr<const raster::Image> MovieClip::ExportedBitmap(const std::string& linkage) {
    const std::uint16_t id = FindExport(movie_->exports, linkage);
    const auto* bitmap = id != 0 ? FindCharacter<BitmapDefinition>(movie_->dictionary, id) : nullptr;
    return bitmap ? bitmap->image : nullptr;
}

bool MovieClip::DrawInto(raster::Surface& target, const raster::Matrix& toPixels,
                         const raster::ColorTransform& colors) {
    constexpr double kTwipsPerPixel = 20;
    Renderer renderer(movie_->dictionary);
    renderer.SetFonts(environment_.DrawingFonts());
    const Matrix twipsToPixels{toPixels.a / kTwipsPerPixel,
                               toPixels.b / kTwipsPerPixel,
                               toPixels.c / kTwipsPerPixel,
                               toPixels.d / kTwipsPerPixel,
                               toPixels.tx,
                               toPixels.ty};
    const ColorTransform c{colors.redMult, colors.greenMult, colors.blueMult, colors.alphaMult,
                           colors.redAdd,  colors.greenAdd,  colors.blueAdd,  colors.alphaAdd};
    renderer.DrawContent(target, *this, twipsToPixels, c);
    return true;
}

}  // namespace swf
