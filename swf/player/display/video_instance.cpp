#include "swf/player/display/video_instance.h"

#include "swf/player/display/display_properties.h"
#include "swf/player/display/movie_clip.h"

namespace swf {

namespace {

constexpr double kTwipsPerPixel = 20;
// A jump far from any known key frame decodes this many frames per drawing
// at most and goes on at the next, rather than holding up the frame.
constexpr int kMaxDecodesPerDraw = 60;

video::Deblocking DeblockingOf(int deblocking) {
    if (deblocking == 0) return video::Deblocking::AsStream;
    return deblocking == 1 ? video::Deblocking::Off : video::Deblocking::On;
}

}  // namespace

VideoInstance::VideoInstance(ClipEnvironment& environment, const Placement& placement,
                             const VideoStreamDefinition& stream)
    : PictureObject(placement, &stream),
      ScriptEffects(static_cast<DisplayObject&>(*this)),
      environment_(environment),
      stream_(stream),
      decoder_(video::MakeVideoDecoder(static_cast<video::VideoCodecId>(stream.codecId))) {
    if (!decoder_) return;
    decoder_->SetDeblocking(DeblockingOf(stream.deblocking));
    // Where the headers tell key frames, seeking starts from the right one at once.
    for (const auto& [number, data] : stream.frames) {
        if (video::PeekFrameKind(static_cast<video::VideoCodecId>(stream.codecId), data) == video::FrameKind::Key)
            keyFrames_.insert(number);
    }
}

VideoInstance::~VideoInstance() { environment_.ObjectDestroyed(*this); }

std::shared_ptr<const raster::Image> VideoInstance::Shown() const {
    if (feed_) {
        std::shared_ptr<const raster::Image> picture = feed_->Picture();
        return picture != cleared_ ? picture : nullptr;
    }
    if (decoder_) DecodeUpTo(GetPlacement().ratio);
    return clearedEmbedded_ ? nullptr : shown_;
}

std::shared_ptr<const raster::Image> VideoInstance::Pixels() const {
    const std::lock_guard lock(mutex_);
    return Shown();
}

bool VideoInstance::Smoothing() const { return smoothing_.value_or(stream_.smoothing); }

Rect VideoInstance::Bounds() const {
    int width = stream_.width, height = stream_.height;
    if (width == 0 || height == 0) {
        // A stream that gives no box shows its pictures at their own size.
        width = PictureWidth();
        height = PictureHeight();
    }
    return {0, static_cast<std::int32_t>(width * kTwipsPerPixel), 0,
            static_cast<std::int32_t>(height * kTwipsPerPixel)};
}

Matrix VideoInstance::ImageToPixels(const Matrix& toPixels) const {
    const Rect box = Bounds();
    const std::lock_guard lock(mutex_);
    // The picture Pixels() gave: decoding went as far as it goes this drawing.
    const std::shared_ptr<const raster::Image> shown = feed_ ? feed_->Picture() : shown_;
    if (!shown || shown->width == 0 || shown->height == 0) return toPixels;
    return toPixels *
           Matrix::Scale(static_cast<double>(box.xMax) / shown->width, static_cast<double>(box.yMax) / shown->height);
}

// Where decoding towards `target` starts: the next frame when going on from
// the frame held, else the nearest key frame known before it (or the first).
VideoInstance::FrameMap::const_iterator VideoInstance::StartFor(FrameMap::const_iterator target) const {
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

double VideoInstance::GetDisplayNumber(DisplayProperty property) {
    return swf::GetDisplayNumber(*this, property, environment_.PointerPosition());
}

void VideoInstance::SetDisplayNumber(DisplayProperty property, double value) {
    swf::SetDisplayNumber(*this, property, value);
}

void VideoInstance::SetInstanceName(const std::string& name) {
    Placement placement = GetPlacement();
    placement.name = name;
    SetPlacement(placement);
    Script().detached = true;
}

ActionTarget* VideoInstance::ParentTimeline() { return Parent(); }

std::string VideoInstance::Url() const { return Parent() != nullptr ? Parent()->Url() : std::string(); }

void VideoInstance::AttachStream(std::uint32_t stream) {
    std::shared_ptr<VideoFeed> feed = stream != 0 ? environment_.StreamFeed(stream) : nullptr;
    const std::lock_guard lock(mutex_);
    feed_ = std::move(feed);
    if (feed_ && deblocking_) feed_->SetDeblocking(*deblocking_);
    cleared_.reset();
    // Detached, a Video shows nothing (not the embedded frames it showed before).
    clearedEmbedded_ = stream == 0 || !feed_;
}

void VideoInstance::ClearPicture() {
    const std::lock_guard lock(mutex_);
    if (feed_)
        cleared_ = feed_->Picture();
    else
        clearedEmbedded_ = true;
}

int VideoInstance::PictureWidth() const {
    const std::lock_guard lock(mutex_);
    const std::shared_ptr<const raster::Image> shown = feed_ ? feed_->Picture() : shown_;
    return shown ? shown->width : 0;
}

int VideoInstance::PictureHeight() const {
    const std::lock_guard lock(mutex_);
    const std::shared_ptr<const raster::Image> shown = feed_ ? feed_->Picture() : shown_;
    return shown ? shown->height : 0;
}

void VideoInstance::SetSmoothing(bool smoothing) { smoothing_ = smoothing; }

int VideoInstance::GetDeblocking() const { return deblocking_.value_or(stream_.deblocking); }

void VideoInstance::SetDeblocking(int deblocking) {
    deblocking_ = deblocking;
    const std::lock_guard lock(mutex_);
    if (decoder_) decoder_->SetDeblocking(DeblockingOf(deblocking));
    if (feed_) feed_->SetDeblocking(deblocking);
}

}  // namespace swf
