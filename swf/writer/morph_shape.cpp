#include "swf/writer/morph_shape.h"

#include <algorithm>

namespace swf::writer {

namespace {

void WriteCount(BitWriter& w, std::size_t n) {
    if (n < 0xFF) {
        w.U8(static_cast<std::uint8_t>(n));
    } else {
        w.U8(0xFF);
        w.U16(static_cast<std::uint16_t>(n));
    }
}

void WriteMorphFill(BitWriter& w, const MorphFillStyle& f) {
    using Type = MorphFillStyle::Type;
    w.U8(static_cast<std::uint8_t>(f.type));
    switch (f.type) {
    case Type::Solid:
        WriteRgba(w, f.startColor);
        WriteRgba(w, f.endColor);
        return;
    case Type::Linear:
    case Type::Radial:
    case Type::Focal: {
        WriteMatrix(w, f.startMatrix);
        WriteMatrix(w, f.endMatrix);
        const std::size_t count = std::min<std::size_t>(f.stops.size(), 15);
        w.U8(static_cast<std::uint8_t>(count));  // pad mode and interpolation 0
        for (std::size_t i = 0; i < count; ++i) {
            w.U8(f.stops[i].startRatio);
            WriteRgba(w, f.stops[i].startColor);
            w.U8(f.stops[i].endRatio);
            WriteRgba(w, f.stops[i].endColor);
        }
        if (f.type == Type::Focal) {
            w.Fixed8(f.startFocalPoint);
            w.Fixed8(f.endFocalPoint);
        }
        return;
    }
    case Type::RepeatingBitmap:
    case Type::ClippedBitmap:
        w.U16(f.bitmapId);
        WriteMatrix(w, f.startMatrix);
        WriteMatrix(w, f.endMatrix);
        return;
    }
}

void WriteMorphLine(BitWriter& w, const MorphLineStyle& l, int version) {
    w.U16(l.startWidth);
    w.U16(l.endWidth);
    if (version >= 2) {
        // Start cap, join, has-fill, three scaling/hinting flags; then five
        // reserved bits, no-close and the end cap.
        w.UB(2, l.cap);
        w.UB(2, l.join);
        w.UB(1, l.fill ? 1 : 0);
        w.UB(3, 0);
        w.UB(5, 0);
        w.UB(1, 0);
        w.UB(2, l.cap);
        if (l.join == 2) w.Fixed8(l.miterLimit);
        if (l.fill) {
            WriteMorphFill(w, *l.fill);
            return;
        }
    }
    WriteRgba(w, l.startColor);
    WriteRgba(w, l.endColor);
}

Rect Widened(Rect r, std::int32_t half) { return Rect{r.xMin - half, r.xMax + half, r.yMin - half, r.yMax + half}; }

}  // namespace

MorphFillStyle MorphFillStyle::Solid(Rgba start, Rgba end) {
    MorphFillStyle f;
    f.startColor = start;
    f.endColor = end;
    return f;
}

std::uint16_t MorphShapeBuilder::AddFill(const MorphFillStyle& fill) {
    fills_.push_back(fill);
    return static_cast<std::uint16_t>(fills_.size());
}

std::uint16_t MorphShapeBuilder::AddLine(const MorphLineStyle& line) {
    lines_.push_back(line);
    return static_cast<std::uint16_t>(lines_.size());
}

std::vector<std::uint8_t> MorphShapeBuilder::DefineMorphShapeBody(std::uint16_t id, int version) const {
    std::int32_t startHalf = 0, endHalf = 0;
    for (const auto& l : lines_) {
        startHalf = std::max<std::int32_t>(startHalf, l.startWidth / 2);
        endHalf = std::max<std::int32_t>(endHalf, l.endWidth / 2);
    }
    BitWriter w;
    w.U16(id);
    WriteRect(w, Widened(start_.EdgeBounds(), startHalf));
    WriteRect(w, Widened(end_.EdgeBounds(), endHalf));
    if (version >= 2) {
        WriteRect(w, start_.EdgeBounds());
        WriteRect(w, end_.EdgeBounds());
        w.U8(0x01);  // uses scaling strokes only
    }
    // Styles and the start outline, whose length is the offset to the end outline.
    BitWriter rest;
    WriteCount(rest, fills_.size());
    for (const auto& f : fills_) WriteMorphFill(rest, f);
    WriteCount(rest, lines_.size());
    for (const auto& l : lines_) WriteMorphLine(rest, l, version);
    const unsigned fillBits = BitsForUnsigned(static_cast<std::uint32_t>(fills_.size()));
    const unsigned lineBits = BitsForUnsigned(static_cast<std::uint32_t>(lines_.size()));
    rest.Bytes(start_.Outline(fillBits, lineBits));
    w.U32(static_cast<std::uint32_t>(rest.bytes().size()));
    w.Bytes(rest.bytes());
    w.Bytes(end_.Outline(0, 0));
    return w.Take();
}

}  // namespace swf::writer
