#pragma once
// A Video object on a display list: an embedded video stream showing the
// frame its placement's ratio names, decoded when first drawn, or the
// picture of a NetStream a script attached; either scaled to the stream's
// box. Embedded frames decode in order from a key frame; the key frames met
// on the way are remembered, so that going back starts from the nearest one.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <set>

#include "swf/actions/action_target.h"
#include "swf/model/video.h"
#include "swf/player/display/clip_environment.h"
#include "swf/player/display/picture_object.h"
#include "swf/player/display/script_effects.h"
#include "swf/player/media/video_feed.h"
#include "swf/video/video_decoder.h"

namespace swf {

class VideoInstance final : public PictureObject, public ScriptEffects<DisplayTarget>, public VideoTarget {
public:
    VideoInstance(ClipEnvironment& environment, const Placement& placement, const VideoStreamDefinition& stream);
    ~VideoInstance() override;

    DisplayKind Kind() const override { return DisplayKind::Video; }
    // Null until a frame decodes, and for a codec this player cannot decode.
    // Bands drawn on two threads may ask at once.
    std::shared_ptr<const raster::Image> Pixels() const override;
    bool Smoothing() const override;
    Rect Bounds() const override;
    Matrix ImageToPixels(const Matrix& toPixels) const override;

    // DisplayTarget
    double GetDisplayNumber(DisplayProperty property) override;
    void SetDisplayNumber(DisplayProperty property, double value) override;
    std::string InstanceName() const override { return GetPlacement().name; }
    void SetInstanceName(const std::string& name) override;
    ActionTarget* ParentTimeline() override;
    std::string Url() const override;
    VideoTarget* AsVideo() override { return this; }

    // VideoTarget
    void AttachStream(std::uint32_t stream) override;
    void ClearPicture() override;
    int PictureWidth() const override;
    int PictureHeight() const override;
    bool GetSmoothing() const override { return Smoothing(); }
    void SetSmoothing(bool smoothing) override;
    int GetDeblocking() const override;
    void SetDeblocking(int deblocking) override;

private:
    using FrameMap = std::map<std::uint16_t, std::vector<std::uint8_t>>;
    void DecodeUpTo(std::uint16_t frame) const;
    FrameMap::const_iterator StartFor(FrameMap::const_iterator target) const;
    // The picture on show now (the lock held).
    std::shared_ptr<const raster::Image> Shown() const;

    ClipEnvironment& environment_;
    const VideoStreamDefinition& stream_;
    mutable std::mutex mutex_;
    mutable std::unique_ptr<video::VideoDecoder> decoder_;
    mutable std::optional<std::uint16_t> decoded_;  // the frame the decoder holds
    mutable std::set<std::uint16_t> keyFrames_;
    mutable std::shared_ptr<const raster::Image> shown_;
    // A NetStream's pictures, once a script attached one.
    std::shared_ptr<VideoFeed> feed_;
    // clear(): the picture not to show (the stream's next one shows again).
    std::shared_ptr<const raster::Image> cleared_;
    bool clearedEmbedded_ = false;
    std::optional<bool> smoothing_;
    std::optional<int> deblocking_;
};

}  // namespace swf
