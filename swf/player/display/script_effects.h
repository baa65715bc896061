#pragma once
// What scripts read and set of any display object's look beyond the
// numeric properties: its colour transform and matrix (Color,
// flash.geom.Transform), filters, blend mode and bitmap caching.

#include <cstdint>
#include <optional>
#include <vector>

#include "swf/actions/action_target.h"
#include "swf/player/display/display_object.h"

namespace swf {

raster::ColorTransform GetScriptColorTransform(const DisplayObject& object);
void SetScriptColorTransform(DisplayObject& object, const raster::ColorTransform& colors);
raster::ColorTransform GetConcatenatedColorTransform(const DisplayObject& object);
// Translation in pixels; scripts cannot give matrices that are not finite.
raster::Matrix GetScriptMatrix(const DisplayObject& object);
void SetScriptMatrix(DisplayObject& object, const raster::Matrix& matrix);
raster::Matrix GetConcatenatedMatrix(const DisplayObject& object);
void SetScriptFilters(DisplayObject& object, std::vector<raster::Filter> filters);
void SetScriptBlendMode(DisplayObject& object, raster::BlendMode mode);
void SetScriptCacheAsBitmap(DisplayObject& object, bool cache);
std::optional<ScriptBox> GetScriptScrollRect(const DisplayObject& object);
void SetScriptScrollRect(DisplayObject& object, std::optional<ScriptBox> rect);
std::optional<std::uint32_t> GetScriptOpaqueBackground(const DisplayObject& object);
void SetScriptOpaqueBackground(DisplayObject& object, std::optional<std::uint32_t> color);
std::optional<ScriptBox> GetScriptScale9Grid(const DisplayObject& object);
void SetScriptScale9Grid(DisplayObject& object, std::optional<ScriptBox> grid);

// The DisplayTarget faces for the above, for a class that is both a
// DisplayObject and (through Base) a DisplayTarget.
template <typename Base>
class ScriptEffects : public Base {
public:
    explicit ScriptEffects(DisplayObject& object) : object_(object) {}

    raster::ColorTransform GetColorTransform() override { return GetScriptColorTransform(object_); }
    void SetColorTransform(const raster::ColorTransform& colors) override { SetScriptColorTransform(object_, colors); }
    raster::ColorTransform GetConcatenatedColorTransform() override {
        return swf::GetConcatenatedColorTransform(object_);
    }
    raster::Matrix GetMatrix() override { return GetScriptMatrix(object_); }
    void SetMatrix(const raster::Matrix& matrix) override { SetScriptMatrix(object_, matrix); }
    raster::Matrix GetConcatenatedMatrix() override { return swf::GetConcatenatedMatrix(object_); }
    std::vector<raster::Filter> GetFilters() override {
        const Filters& filters = object_.GetPlacement().filters;
        return filters != nullptr ? *filters : std::vector<raster::Filter>{};
    }
    void SetFilters(std::vector<raster::Filter> filters) override { SetScriptFilters(object_, std::move(filters)); }
    raster::BlendMode GetBlendMode() override { return object_.GetPlacement().blendMode; }
    void SetBlendMode(raster::BlendMode mode) override { SetScriptBlendMode(object_, mode); }
    bool GetCacheAsBitmap() override { return object_.GetPlacement().cacheAsBitmap; }
    void SetCacheAsBitmap(bool cache) override { SetScriptCacheAsBitmap(object_, cache); }
    std::optional<ScriptBox> GetScrollRect() override { return GetScriptScrollRect(object_); }
    void SetScrollRect(std::optional<ScriptBox> rect) override { SetScriptScrollRect(object_, rect); }
    std::optional<std::uint32_t> GetOpaqueBackground() override { return GetScriptOpaqueBackground(object_); }
    void SetOpaqueBackground(std::optional<std::uint32_t> color) override { SetScriptOpaqueBackground(object_, color); }
    std::optional<ScriptBox> GetScale9Grid() override { return GetScriptScale9Grid(object_); }
    void SetScale9Grid(std::optional<ScriptBox> grid) override { SetScriptScale9Grid(object_, grid); }

private:
    DisplayObject& object_;
};

}  // namespace swf
