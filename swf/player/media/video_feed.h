#pragma once
// The picture a video stream shows now, shared by the stream that decodes it
// and the Video objects that draw it (bands drawn on two threads may ask at
// once).

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

private:
    mutable std::mutex mutex_;
    std::shared_ptr<const raster::Image> picture_;
};

}  // namespace swf
