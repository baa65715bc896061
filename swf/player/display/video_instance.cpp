#include "swf/player/display/video_instance.h"

namespace swf {

namespace {

constexpr double kTwipsPerPixel = 20;
// A jump far from any known key frame decodes this many frames per drawing
// at most and goes on at the next, rather than holding up the frame.
constexpr int kMaxDecodesPerDraw = 60;

video::Deblocking DeblockingOf(const VideoStreamDefinition& stream) {
    if (stream.deblocking == 0) return video::Deblocking::AsStream;
    return stream.deblocking == 1 ? video::Deblocking::Off : video::Deblocking::On;
}

}  // namespace

VideoInstance::VideoInstance(const Placement& placement, const VideoStreamDefinition& stream)
    : PictureObject(placement, &stream),
      stream_(stream),
      decoder_(video::MakeVideoDecoder(static_cast<video::VideoCodecId>(stream.codecId))) {
    if (!decoder_) return;
    decoder_->SetDeblocking(DeblockingOf(stream));
    // Where the headers tell key frames, seeking starts from the right one at once.
    for (const auto& [number, data] : stream.frames) {
        if (video::PeekFrameKind(static_cast<video::VideoCodecId>(stream.codecId), data) == video::FrameKind::Key)
            keyFrames_.insert(number);
    }
}

std::shared_ptr<const raster::Image> VideoInstance::Pixels() const {
    const std::lock_guard lock(mutex_);
    if (decoder_) DecodeUpTo(GetPlacement().ratio);
    return shown_;
}

Rect VideoInstance::Bounds() const {
    int width = stream_.width, height = stream_.height;
    if (width == 0 || height == 0) {
        // A stream that gives no box shows its pictures at their own size.
        const std::lock_guard lock(mutex_);
        if (!shown_) return {};
        width = shown_->width;
        height = shown_->height;
    }
    return {0, static_cast<std::int32_t>(width * kTwipsPerPixel), 0,
            static_cast<std::int32_t>(height * kTwipsPerPixel)};
}

Matrix VideoInstance::ImageToPixels(const Matrix& toPixels) const {
    const Rect box = Bounds();
    const std::lock_guard lock(mutex_);
    if (!shown_ || shown_->width == 0 || shown_->height == 0) return toPixels;
    return toPixels *
           Matrix::Scale(static_cast<double>(box.xMax) / shown_->width, static_cast<double>(box.yMax) / shown_->height);
}

// Where decoding towards `target` starts: the next frame when going on from
// the frame held, else the nearest key frame known before it (or the first).
std::map<std::uint16_t, std::vector<std::uint8_t>>::const_iterator VideoInstance::StartFor(
    std::map<std::uint16_t, std::vector<std::uint8_t>>::const_iterator target) const {
    const auto& frames = stream_.frames;
    auto key = keyFrames_.upper_bound(target->first);
    const std::optional<std::uint16_t> nearestKey =
        key == keyFrames_.begin() ? std::nullopt : std::optional<std::uint16_t>(*std::prev(key));
    if (decoded_ && *decoded_ < target->first && (!nearestKey || *nearestKey <= *decoded_)) {
        return frames.upper_bound(*decoded_);
    }
    decoder_->Reset();
    return nearestKey ? frames.find(*nearestKey) : frames.begin();
}

void VideoInstance::DecodeUpTo(std::uint16_t frame) const {
    const auto& frames = stream_.frames;
    // A frame the file lacks shows the one before it.
    auto target = frames.upper_bound(frame);
    if (target == frames.begin()) return;
    --target;
    if (decoded_ == target->first) return;
    auto it = StartFor(target);
    for (int decodes = 1;; ++it, ++decodes) {
        const video::DecodeResult result = decoder_->Decode(it->second);
        if (result.ok && result.kind == video::FrameKind::Key) keyFrames_.insert(it->first);
        if (it == target || decodes == kMaxDecodesPerDraw) break;
    }
    decoded_ = it->first;
    const raster::Image& picture = decoder_->Picture();
    if (picture.width > 0 && (!shown_ || shown_->serial != picture.serial)) {
        shown_ = std::make_shared<const raster::Image>(picture);
    }
}

}  // namespace swf
