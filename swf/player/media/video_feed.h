#pragma once
// The picture a video stream shows now, shared by the stream that decodes it
// and the Video objects that draw it (bands drawn on two threads may ask at
// once), and the deblocking a Video showing it asks of its decoder.

#include <atomic>
#include <memory>
#include <mutex>

#include "swf/raster/image.h"

namespace swf {

class VideoFeed {
public:
    std::shared_ptr<const raster::Image> Picture() const {
        const std::lock_guard lock(mutex_);
        return picture_;
    }
    void Show(std::shared_ptr<const raster::Image> picture) {
        const std::lock_guard lock(mutex_);
        picture_ = std::move(picture);
    }

    // 0: as each frame says, 1: off, above: on (Video.deblocking).
    void SetDeblocking(int deblocking) { deblocking_ = deblocking; }
    int Deblocking() const { return deblocking_; }

private:
    std::atomic<int> deblocking_{0};
    mutable std::mutex mutex_;
    std::shared_ptr<const raster::Image> picture_;
};

}  // namespace swf
