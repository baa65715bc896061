// flash.display.BitmapData: the script face of raster::BitmapData. Sizes,
// pixels and rectangles go to the pixel model as it takes them; a bitmap
// refused (its size, the movie's memory) or disposed answers -1 wherever a
// value is expected and changes nothing.

#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "swf/actions/bitmap_objects.h"
#include "swf/actions/builtins/bitmap_data_args.h"
#include "swf/actions/builtins/builtins.h"
#include "swf/actions/builtins/geom.h"
#include "swf/actions/conversions.h"

namespace swf::actions {

namespace bitmap_args {

raster::BitmapData* LiveSelf(CallContext& c) {
    raster::BitmapData* b = BitmapOf(c.self);
    return b && !b->disposed() ? b : nullptr;
}

Value Unusable(CallContext& c) { return IsBitmapObject(c.self) ? Value::Number(-1) : Value(); }

raster::BitmapData* LiveArg(CallContext& c, std::size_t i) {
    raster::BitmapData* b = BitmapOf(c.Arg(i));
    return b && !b->disposed() ? b : nullptr;
}

std::uint32_t ColorArg(CallContext& c, std::size_t i, std::uint32_t fallback) {
    if (c.Arg(i).IsUndefined()) return fallback;
    return static_cast<std::uint32_t>(ToInt32(ArgNumber(c, i)));
}

int IntArg(CallContext& c, std::size_t i, int fallback) {
    return c.Arg(i).IsUndefined() ? fallback : raster::BitmapCoordinate(ArgNumber(c, i));
}

bool FlagArg(CallContext& c, std::size_t i, bool fallback) {
    return c.Arg(i).IsUndefined() ? fallback : ToBoolean(c.Arg(i), c.interpreter.vm().swfVersion());
}

bool RectArg(CallContext& c, std::size_t i, raster::PixelRect* out) {
    const Value v = c.Arg(i);
    if (!v.IsObject()) return false;
    Interpreter& in = c.interpreter;
    *out = raster::BitmapRect(MemberNumber(in, v, "x"), MemberNumber(in, v, "y"), MemberNumber(in, v, "width"),
                              MemberNumber(in, v, "height"));
    return true;
}

bool PointArg(CallContext& c, std::size_t i, int* x, int* y) {
    const Value v = c.Arg(i);
    if (!v.IsObject()) return false;
    *x = raster::BitmapCoordinate(MemberNumber(c.interpreter, v, "x"));
    *y = raster::BitmapCoordinate(MemberNumber(c.interpreter, v, "y"));
    return true;
}

void Charge(CallContext& c, long long pixels) {
    constexpr long long kPixelsPerStep = 1024;
    c.interpreter.Budget().Spend(static_cast<std::uint64_t>(std::max(0LL, pixels) / kPixelsPerStep + 1));
}

}  // namespace bitmap_args

namespace {

using namespace bitmap_args;

// A new bitmap object for a result, or undefined when its pixels do not fit.
Value Made(CallContext& c, std::unique_ptr<raster::BitmapData> bitmap) {
    if (!bitmap || !RoomForBitmap(c.interpreter.vm(), bitmap->ByteSize())) return Value();
    return NewBitmapObject(c.interpreter, std::move(bitmap));
}

Value Rectangle(CallContext& c, const raster::PixelRect& r) {
    return MakeRectangle(c.interpreter, ScriptBox{static_cast<double>(r.left), static_cast<double>(r.right),
                                                  static_cast<double>(r.top), static_cast<double>(r.bottom)});
}

// new BitmapData(width, height, transparent = true, fillColor = 0xFFFFFFFF).
Value Constructor(CallContext& c) {
    Object* self = c.self.AsObject();
    if (!c.construct || !self) return Value();
    const double width = ArgNumber(c, 0), height = ArgNumber(c, 1);
    const std::size_t bytes = raster::BitmapData::ByteSizeFor(width, height);
    std::unique_ptr<raster::BitmapData> bitmap;
    if (bytes > 0 && RoomForBitmap(c.interpreter.vm(), bytes)) {
        bitmap = raster::BitmapData::Create(width, height, FlagArg(c, 2, true), ColorArg(c, 3, 0xFFFFFFFFu));
    }
    HoldBitmap(c.interpreter.vm(), self, std::move(bitmap));
    return c.self;
}

Value Width(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    return b ? Value::Number(b->width()) : Unusable(c);
}

Value Height(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    return b ? Value::Number(b->height()) : Unusable(c);
}

Value Transparent(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    return b ? Value::Bool(b->transparent()) : Unusable(c);
}

Value RectangleOf(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    return b ? Rectangle(c, b->rect()) : Unusable(c);
}

Value GetPixel(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    if (!b) return Unusable(c);
    return Value::Number(b->GetPixel(IntArg(c, 0, 0), IntArg(c, 1, 0)));
}

// AS2 numbers hold colours with alpha as signed 32-bit values.
Value GetPixel32(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    if (!b) return Unusable(c);
    return Value::Number(static_cast<std::int32_t>(b->GetPixel32(IntArg(c, 0, 0), IntArg(c, 1, 0))));
}

Value SetPixel(CallContext& c) {
    if (raster::BitmapData* b = LiveSelf(c); b && c.args.size() >= 3)
        b->SetPixel(IntArg(c, 0, 0), IntArg(c, 1, 0), ColorArg(c, 2, 0));
    return Value();
}

Value SetPixel32(CallContext& c) {
    if (raster::BitmapData* b = LiveSelf(c); b && c.args.size() >= 3)
        b->SetPixel32(IntArg(c, 0, 0), IntArg(c, 1, 0), ColorArg(c, 2, 0));
    return Value();
}

Value FillRect(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    raster::PixelRect r;
    if (!b || !RectArg(c, 0, &r) || c.args.size() < 2) return Value();
    Charge(c, r.Intersected(b->rect()).Area());
    b->FillRect(r, ColorArg(c, 1, 0));
    return Value();
}

// copyPixels(source, sourceRect, destPoint, alphaBitmap, alphaPoint, mergeAlpha).
Value CopyPixels(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    raster::BitmapData* source = LiveArg(c, 0);
    raster::PixelRect r;
    int x = 0, y = 0;
    if (!b || !source || !RectArg(c, 1, &r) || !PointArg(c, 2, &x, &y)) return Value();
    const raster::BitmapData* alpha = LiveArg(c, 3);
    int alphaX = 0, alphaY = 0;
    if (alpha) PointArg(c, 4, &alphaX, &alphaY);
    Charge(c, r.Intersected(source->rect()).Area());
    b->CopyPixels(*source, r, x, y, alpha, alphaX, alphaY, FlagArg(c, 5, false));
    return Value();
}

Value CopyChannel(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    raster::BitmapData* source = LiveArg(c, 0);
    raster::PixelRect r;
    int x = 0, y = 0;
    if (!b || !source || !RectArg(c, 1, &r) || !PointArg(c, 2, &x, &y)) return Value();
    Charge(c, r.Intersected(source->rect()).Area());
    b->CopyChannel(*source, r, x, y, ColorArg(c, 3, 0), ColorArg(c, 4, 0));
    return Value();
}

Value ColorTransformMethod(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    raster::PixelRect r;
    raster::ColorTransform transform;
    if (!b || !RectArg(c, 0, &r) || !ReadColorTransform(c.interpreter, c.Arg(1), &transform)) return Value();
    Charge(c, r.Intersected(b->rect()).Area());
    b->ApplyColorTransform(r, transform);
    return Value();
}

Value Clone(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    if (!b) return Unusable(c);
    Charge(c, b->rect().Area());
    return Made(c, b->Clone());
}

Value Dispose(CallContext& c) {
    if (IsBitmapObject(c.self)) DisposeBitmap(c.interpreter.vm(), c.self.AsObject());
    return Value();
}

Value FloodFill(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    if (!b || c.args.size() < 3) return Value();
    Charge(c, b->rect().Area());
    b->FloodFill(IntArg(c, 0, 0), IntArg(c, 1, 0), ColorArg(c, 2, 0));
    return Value();
}

Value GetColorBoundsRect(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    if (!b) return Unusable(c);
    Charge(c, b->rect().Area());
    return Rectangle(c, b->GetColorBoundsRect(ColorArg(c, 0, 0), ColorArg(c, 1, 0), FlagArg(c, 2, true)));
}

// hitTest(firstPoint, firstAlphaThreshold, secondObject, secondBitmapPoint,
// secondAlphaThreshold): the second object is a Point, a Rectangle or a BitmapData.
Value HitTest(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    if (!b) return Unusable(c);
    int x = 0, y = 0;
    if (!PointArg(c, 0, &x, &y)) return Value::Bool(false);
    const int threshold = IntArg(c, 1, 0);
    Charge(c, b->rect().Area());
    const Value second = c.Arg(2);
    if (IsBitmapObject(second)) {
        raster::BitmapData* other = LiveArg(c, 2);
        int otherX = 0, otherY = 0;
        if (!other || !PointArg(c, 3, &otherX, &otherY)) return Value::Bool(false);
        return Value::Bool(b->HitTestBitmap(x, y, threshold, *other, otherX, otherY, IntArg(c, 4, 1)));
    }
    if (!second.IsObject()) return Value::Bool(false);
    if (!c.interpreter.GetMember(second, "width").IsUndefined()) {
        raster::PixelRect r;
        RectArg(c, 2, &r);
        return Value::Bool(b->HitTestRect(x, y, threshold, r));
    }
    int px = 0, py = 0;
    PointArg(c, 2, &px, &py);
    return Value::Bool(b->HitTestPoint(x, y, threshold, px, py));
}

Value Merge(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    raster::BitmapData* source = LiveArg(c, 0);
    raster::PixelRect r;
    int x = 0, y = 0;
    if (!b || !source || !RectArg(c, 1, &r) || !PointArg(c, 2, &x, &y)) return Value();
    Charge(c, r.Intersected(source->rect()).Area());
    b->Merge(*source, r, x, y, IntArg(c, 3, 0), IntArg(c, 4, 0), IntArg(c, 5, 0), IntArg(c, 6, 0));
    return Value();
}

Value Noise(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    if (!b) return Value();
    Charge(c, b->rect().Area());
    b->Noise(IntArg(c, 0, 0), IntArg(c, 1, 0), IntArg(c, 2, 255), ColorArg(c, 3, 7), FlagArg(c, 4, false));
    return Value();
}

// The offsets array of perlinNoise: one Point per octave.
std::vector<raster::Point> Offsets(CallContext& c, std::size_t i) {
    std::vector<raster::Point> out;
    Object* array = c.Arg(i).AsObject();
    if (!array || array->kind != ObjectKind::Array) return out;
    const std::size_t count = std::min<std::size_t>(array->elements.size(), raster::BitmapData::kMaxOctaves);
    for (std::size_t k = 0; k < count; ++k) {
        const Value point = array->elements[k];
        out.push_back({MemberNumber(c.interpreter, point, "x"), MemberNumber(c.interpreter, point, "y")});
    }
    return out;
}

Value PerlinNoise(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    if (!b || c.args.size() < 6) return Value();
    const int octaves = std::clamp(IntArg(c, 2, 1), 0, raster::BitmapData::kMaxOctaves);
    Charge(c, b->rect().Area() * std::max(1, octaves));
    b->PerlinNoise(ArgNumber(c, 0), ArgNumber(c, 1), octaves, IntArg(c, 3, 0), FlagArg(c, 4, false),
                   FlagArg(c, 5, false), ColorArg(c, 6, 7), FlagArg(c, 7, false), Offsets(c, 8));
    return Value();
}

// One channel's table of paletteMap: an array of 256 colours; missing
// entries are 0. False (no table) when the argument is not an array.
bool Table(CallContext& c, std::size_t i, std::array<std::uint32_t, 256>* out) {
    Object* array = c.Arg(i).AsObject();
    if (!array || array->kind != ObjectKind::Array) return false;
    out->fill(0);
    for (std::size_t k = 0; k < out->size() && k < array->elements.size(); ++k)
        (*out)[k] = static_cast<std::uint32_t>(ToInt32(c.interpreter.Number(array->elements[k])));
    return true;
}

Value PaletteMap(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    raster::BitmapData* source = LiveArg(c, 0);
    raster::PixelRect r;
    int x = 0, y = 0;
    if (!b || !source || !RectArg(c, 1, &r) || !PointArg(c, 2, &x, &y)) return Value();
    std::array<std::array<std::uint32_t, 256>, 4> tables;
    const std::array<std::uint32_t, 256>* used[4];
    for (std::size_t k = 0; k < 4; ++k) used[k] = Table(c, 3 + k, &tables[k]) ? &tables[k] : nullptr;
    Charge(c, r.Intersected(source->rect()).Area());
    b->PaletteMap(*source, r, x, y, used[0], used[1], used[2], used[3]);
    return Value();
}

// pixelDissolve(source, sourceRect, destPoint, randomSeed = 0, numPixels, fillColor = 0).
Value PixelDissolve(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    raster::BitmapData* source = LiveArg(c, 0);
    raster::PixelRect r;
    int x = 0, y = 0;
    if (!b || !source || !RectArg(c, 1, &r) || !PointArg(c, 2, &x, &y)) return Unusable(c);
    long long count = raster::BitmapData::DefaultDissolvePixels(r);
    if (!c.Arg(4).IsUndefined()) {
        const double n = ArgNumber(c, 4);
        count = std::isnan(n) ? 0 : static_cast<long long>(std::clamp(n, 0.0, 1e15));
    }
    Charge(c, std::min(count, r.Area()));
    return Value::Number(b->PixelDissolve(*source, r, x, y, IntArg(c, 3, 0), count, ColorArg(c, 5, 0)));
}

Value Scroll(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    if (!b) return Value();
    Charge(c, b->rect().Area());
    b->Scroll(IntArg(c, 0, 0), IntArg(c, 1, 0));
    return Value();
}

// threshold(source, sourceRect, destPoint, operation, threshold, color = 0,
// mask = 0xFFFFFFFF, copySource = false): how many pixels passed.
Value Threshold(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    raster::BitmapData* source = LiveArg(c, 0);
    raster::PixelRect r;
    int x = 0, y = 0;
    raster::ThresholdOperation operation;
    if (!b || !source || !RectArg(c, 1, &r) || !PointArg(c, 2, &x, &y)) return Unusable(c);
    if (!raster::ThresholdOperationFromName(ArgText(c, 3), &operation)) return Value::Number(0);
    Charge(c, r.Intersected(source->rect()).Area());
    return Value::Number(b->Threshold(*source, r, x, y, operation, ColorArg(c, 4, 0), ColorArg(c, 5, 0),
                                      ColorArg(c, 6, 0xFFFFFFFFu), FlagArg(c, 7, false)));
}

// 0 when equal, a negative code when the sizes differ or one is unusable,
// else a new bitmap of the differences.
Value Compare(CallContext& c) {
    raster::BitmapData* b = LiveSelf(c);
    if (!b) return Unusable(c);
    raster::BitmapData* other = BitmapOf(c.Arg(0));
    if (!other) return Value::Number(-2);
    Charge(c, b->rect().Area());
    raster::BitmapComparison result = b->Compare(*other);
    if (result.difference) return Made(c, std::move(result.difference));
    return Value::Number(result.code);
}

// BitmapData.loadBitmap(linkageId): a new bitmap holding the pixels of the
// bitmap character the main movie exports under that name.
Value LoadBitmap(CallContext& c) {
    ActionTarget* root = c.interpreter.vm().root();
    std::shared_ptr<const raster::Image> image = root ? root->ExportedBitmap(ArgText(c, 0)) : nullptr;
    if (!image) return Value();
    bool opaque = true;
    for (std::uint32_t p : image->pixels) opaque = opaque && (p >> 24) == 0xFF;
    if (!RoomForBitmap(c.interpreter.vm(), raster::BitmapData::ByteSizeFor(image->width, image->height)))
        return Value();
    auto bitmap = BitmapFromImage(*image, !opaque);
    if (!bitmap) return Value();
    Charge(c, bitmap->rect().Area());
    return NewBitmapObject(c.interpreter, std::move(bitmap));
}

}  // namespace

void InstallBitmapDataBuiltins(Installer& in) {
    Object* display = FlashPackage(in, "display");
    Object* proto = in.NewObject(in.vm().objectProto());
    Accessor(in, proto, "width", Width, nullptr);
    Accessor(in, proto, "height", Height, nullptr);
    Accessor(in, proto, "transparent", Transparent, nullptr);
    Accessor(in, proto, "rectangle", RectangleOf, nullptr);
    const std::pair<const char*, NativeFunction> methods[] = {
        {"getPixel", GetPixel},
        {"getPixel32", GetPixel32},
        {"setPixel", SetPixel},
        {"setPixel32", SetPixel32},
        {"fillRect", FillRect},
        {"copyPixels", CopyPixels},
        {"copyChannel", CopyChannel},
        {"colorTransform", ColorTransformMethod},
        {"draw", bitmap_args::Draw},
        {"applyFilter", bitmap_args::ApplyFilter},
        {"generateFilterRect", bitmap_args::GenerateFilterRect},
        {"clone", Clone},
        {"dispose", Dispose},
        {"floodFill", FloodFill},
        {"getColorBoundsRect", GetColorBoundsRect},
        {"hitTest", HitTest},
        {"merge", Merge},
        {"noise", Noise},
        {"perlinNoise", PerlinNoise},
        {"paletteMap", PaletteMap},
        {"pixelDissolve", PixelDissolve},
        {"scroll", Scroll},
        {"threshold", Threshold},
        {"compare", Compare},
    };
    for (const auto& [name, f] : methods) in.Method(proto, name, f);
    Object* bitmapClass = PackageClass(in, display, "BitmapData", Constructor, proto);
    in.Method(bitmapClass, "loadBitmap", LoadBitmap);
}

}  // namespace swf::actions
