#pragma once
// An embedded video stream on a display list: it shows the frame its
// placement's ratio names, decoded when first drawn, scaled to the stream's
// box. Frames decode in order from a key frame; the key frames met on the
// way are remembered, so that going back starts from the nearest one.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <set>

#include "swf/model/video.h"
#include "swf/player/display/picture_object.h"
#include "swf/video/video_decoder.h"

namespace swf {

class VideoInstance final : public PictureObject {
public:
    VideoInstance(const Placement& placement, const VideoStreamDefinition& stream);

    DisplayKind Kind() const override { return DisplayKind::Video; }
    // Null until a frame decodes, and for a codec this player cannot decode.
    // Bands drawn on two threads may ask at once.
    std::shared_ptr<const raster::Image> Pixels() const override;
    bool Smoothing() const override { return stream_.smoothing; }
    Rect Bounds() const override;
    Matrix ImageToPixels(const Matrix& toPixels) const override;

private:
    void DecodeUpTo(std::uint16_t frame) const;
    std::map<std::uint16_t, std::vector<std::uint8_t>>::const_iterator StartFor(
        std::map<std::uint16_t, std::vector<std::uint8_t>>::const_iterator target) const;

    const VideoStreamDefinition& stream_;
    mutable std::mutex mutex_;
    mutable std::unique_ptr<video::VideoDecoder> decoder_;
    mutable std::optional<std::uint16_t> decoded_;  // the frame the decoder holds
    mutable std::set<std::uint16_t> keyFrames_;
    mutable std::shared_ptr<const raster::Image> shown_;
};

}  // namespace swf
