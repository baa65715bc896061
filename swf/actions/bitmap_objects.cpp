#include "swf/actions/bitmap_objects.h"

#include <algorithm>
#include <string>
#include <utility>

#include "swf/actions/interpreter.h"
#include "swf/actions/vm.h"

namespace swf::actions {

namespace {

// Shared: a bitmap attached to a clip or painting a fill lives on with it.
struct BitmapPayload final : ObjectPayload {
    std::shared_ptr<raster::BitmapData> bitmap;
    std::size_t Bytes() const override { return bitmap ? bitmap->ByteSize() : 0; }
};

BitmapPayload* PayloadOf(const Value& v) {
    Object* o = v.AsObject();
    return o ? dynamic_cast<BitmapPayload*>(o->payload.get()) : nullptr;
}

Object* BitmapPrototype(Interpreter& in) {
    Value* display = in.vm().flashPackage()->Find("display");
    Value* ctor = display && display->AsObject() ? display->AsObject()->Find("BitmapData") : nullptr;
    Value* proto = ctor && ctor->AsObject() ? ctor->AsObject()->Find("prototype") : nullptr;
    return proto && proto->AsObject() ? proto->AsObject() : in.vm().objectProto();
}

}  // namespace

raster::BitmapData* BitmapOf(const Value& v) {
    BitmapPayload* p = PayloadOf(v);
    return p ? p->bitmap.get() : nullptr;
}

std::shared_ptr<raster::BitmapData> SharedBitmapOf(const Value& v) {
    BitmapPayload* p = PayloadOf(v);
    return p ? p->bitmap : nullptr;
}

std::shared_ptr<const raster::Image> BitmapImageOf(const Value& v) {
    const raster::BitmapData* bitmap = BitmapOf(v);
    return bitmap ? bitmap->image() : nullptr;
}

bool IsBitmapObject(const Value& v) { return PayloadOf(v) != nullptr; }

std::uint32_t StraightPixel(std::uint32_t p) {
    const std::uint32_t a = p >> 24;
    if (a == 255 || a == 0) return a == 0 ? 0 : p;
    const auto channel = [&](int shift) { return std::min(255u, (((p >> shift) & 0xFF) * 255 + a / 2) / a); };
    return a << 24 | channel(16) << 16 | channel(8) << 8 | channel(0);
}

std::unique_ptr<raster::BitmapData> BitmapFromImage(const raster::Image& image, bool transparent) {
    if (image.pixels.size() < static_cast<std::size_t>(image.width) * image.height) return nullptr;
    auto bitmap = raster::BitmapData::Create(image.width, image.height, transparent, 0);
    if (!bitmap) return nullptr;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) bitmap->SetPixel32(x, y, StraightPixel(image.pixel(x, y)));
    return bitmap;
}

bool RoomForBitmap(Vm& vm, std::size_t bytes) {
    const std::size_t limit = vm.limits().maxMemoryBytes;
    const std::size_t used = vm.heap().Bytes();
    if (used <= limit && bytes <= limit - used) return true;
    vm.NoteRefused("a BitmapData was refused: its pixels would pass the movie's script memory limit (" +
                   std::to_string(limit >> 20) + " MB); it has no pixels and answers -1");
    return false;
}

void HoldBitmap(Vm& vm, Object* o, std::unique_ptr<raster::BitmapData> bitmap) {
    auto payload = std::make_unique<BitmapPayload>();
    payload->bitmap = std::move(bitmap);
    vm.NoteBytes(payload->Bytes());
    o->payload = std::move(payload);
}

void DisposeBitmap(Vm& vm, Object* o) {
    BitmapPayload* p = PayloadOf(Value::Obj(o));
    if (!p || !p->bitmap) return;
    const std::size_t bytes = p->bitmap->ByteSize();
    p->bitmap->Dispose();
    vm.heap().ForgetBytes(bytes);
}

Value NewBitmapObject(Interpreter& in, std::unique_ptr<raster::BitmapData> bitmap) {
    Object* o = in.NewObject(BitmapPrototype(in));
    HoldBitmap(in.vm(), o, std::move(bitmap));
    return Value::Obj(o);
}

}  // namespace swf::actions
