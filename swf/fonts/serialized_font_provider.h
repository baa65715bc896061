#pragma once
// Passes calls on to another device font provider one at a time. Bands of one
// frame drawn on two threads may both want glyphs, and a host's provider (a
// font engine, a device context and its cache) need not allow that.

#include <mutex>

#include "swf/fonts/device_fonts.h"

namespace swf::fonts {

class SerializedFontProvider final : public DeviceFontProvider {
public:
    // Not owned; must be set (non-null) before any call and not change during one.
    void SetTarget(DeviceFontProvider* target) { target_ = target; }

    std::shared_ptr<const DeviceGlyph> Glyph(const std::string& face, bool bold, bool italic, char32_t c) override {
        const std::lock_guard lock(mutex_);
        return target_->Glyph(face, bold, italic, c);
    }
    FaceMetrics Metrics(const std::string& face, bool bold, bool italic) override {
        const std::lock_guard lock(mutex_);
        return target_->Metrics(face, bold, italic);
    }

private:
    std::mutex mutex_;
    DeviceFontProvider* target_ = nullptr;
};

}  // namespace swf::fonts
