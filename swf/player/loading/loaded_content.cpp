#include "swf/player/loading/loaded_content.h"

#include "swf/model/bitmap.h"
#include "swf/model/shape.h"
#include "swf/model/units.h"

namespace swf {

namespace {

constexpr std::uint16_t kPictureBitmapId = 1;
constexpr std::uint16_t kPictureShapeId = 2;

// A single empty frame: timelines always have at least one.
std::shared_ptr<MovieDefinition> OneFrameMovie() {
    auto movie = std::make_shared<MovieDefinition>();
    movie->header.version = 8;
    movie->timeline.frames.emplace_back();
    return movie;
}

Segment Line(float x0, float y0, float x1, float y1) {
    Segment s;
    s.x0 = x0;
    s.y0 = y0;
    s.x1 = x1;
    s.y1 = y1;
    return s;
}

}  // namespace

std::shared_ptr<const MovieDefinition> EmptyMovie() {
    static const std::shared_ptr<const MovieDefinition> empty = OneFrameMovie();
    return empty;
}

std::shared_ptr<const MovieDefinition> PictureMovie(std::shared_ptr<const raster::Image> image,
                                                    std::uint32_t fileBytes) {
    auto movie = OneFrameMovie();
    movie->header.fileLength = fileBytes;
    const auto width = static_cast<float>(image->width * kTwipsPerPixel);
    const auto height = static_cast<float>(image->height * kTwipsPerPixel);
    movie->header.frameSize = {0, static_cast<std::int32_t>(width), 0, static_cast<std::int32_t>(height)};

    auto bitmap = std::make_shared<BitmapDefinition>();
    bitmap->id = kPictureBitmapId;
    bitmap->image = image;
    movie->dictionary.emplace(bitmap->id, bitmap);

    FillStyle fill;
    fill.kind = FillKind::Bitmap;
    fill.matrix = Matrix::Scale(kTwipsPerPixel, kTwipsPerPixel);
    fill.bitmapId = kPictureBitmapId;
    fill.bitmap = std::move(image);
    fill.bitmapRepeat = false;
    fill.bitmapSmooth = true;
    ShapeLayer layer;
    layer.fills.push_back(fill);
    layer.fillEdges.push_back(
        {Line(0, 0, width, 0), Line(width, 0, width, height), Line(width, height, 0, height), Line(0, height, 0, 0)});
    auto shape = std::make_shared<ShapeDefinition>();
    shape->id = kPictureShapeId;
    shape->bounds = movie->header.frameSize;
    shape->shape.layers.push_back(std::move(layer));
    movie->dictionary.emplace(shape->id, shape);

    PlaceCommand place;
    place.depth = 1;
    place.characterId = kPictureShapeId;
    movie->timeline.frames[0].commands.emplace_back(place);
    return movie;
}

}  // namespace swf
