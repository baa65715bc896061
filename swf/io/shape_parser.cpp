#include "swf/io/shape_parser.h"

#include "swf/io/parse_error.h"
#include "swf/io/records.h"
#include "swf/io/shape_records.h"

namespace swf {

void EdgeBudget::Take(std::size_t count) {
    if (count > remaining) {
        remaining = 0;  // spent: the movie is refused, not just this tag
        throw ParseError("movie holds too many shape edges");
    }
    remaining -= count;
}

namespace {

Gradient ReadGradient(BitReader& in, int version, bool focal) {
    Gradient g;
    in.Align();
    const unsigned spread = in.ReadUB(2);
    g.spread = spread == 1 ? SpreadMode::Reflect : spread == 2 ? SpreadMode::Repeat : SpreadMode::Pad;
    g.linearRgb = in.ReadUB(2) == 1;
    const unsigned count = in.ReadUB(4);
    for (unsigned i = 0; i < count; ++i) {
        GradientStop stop;
        stop.ratio = in.ReadU8();
        stop.color = version >= 3 ? ReadRgba(in) : ReadRgb(in);
        g.stops.push_back(stop);
    }
    if (focal) g.focalPoint = in.ReadFixed8();
    return g;
}

FillStyle ReadFillStyle(BitReader& in, int version) {
    FillStyle f;
    const std::uint8_t type = in.ReadU8();
    switch (type) {
    case 0x00:
        f.kind = FillKind::Solid;
        f.color = version >= 3 ? ReadRgba(in) : ReadRgb(in);
        break;
    case 0x10:
    case 0x12:
    case 0x13:
        f.kind = type == 0x10   ? FillKind::LinearGradient
                 : type == 0x12 ? FillKind::RadialGradient
                                : FillKind::FocalGradient;
        f.matrix = ReadMatrix(in);
        f.gradient = ReadGradient(in, version, type == 0x13);
        break;
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
        f.kind = FillKind::Bitmap;
        f.bitmapRepeat = type == 0x40 || type == 0x42;
        f.bitmapSmooth = type == 0x40 || type == 0x41;
        f.bitmapId = in.ReadU16();
        f.matrix = ReadMatrix(in);
        break;
    default: throw ParseError("unknown fill style type");
    }
    return f;
}

std::size_t ReadStyleCount(BitReader& in, int version) {
    std::size_t count = in.ReadU8();
    if (count == 0xff && version >= 2) count = in.ReadU16();
    return count;
}

CapStyle ToCap(unsigned v) { return v == 1 ? CapStyle::None : v == 2 ? CapStyle::Square : CapStyle::Round; }

LineStyle ReadLineStyle(BitReader& in, int version) {
    LineStyle l;
    l.width = in.ReadU16();
    if (version < 4) {
        l.color = version >= 3 ? ReadRgba(in) : ReadRgb(in);
        return l;
    }
    l.startCap = ToCap(in.ReadUB(2));
    const unsigned join = in.ReadUB(2);
    l.join = join == 1 ? JoinStyle::Bevel : join == 2 ? JoinStyle::Miter : JoinStyle::Round;
    l.hasFill = in.ReadFlag();
    in.ReadUB(3);  // no-scale and pixel hinting flags
    in.ReadUB(5);
    l.noClose = in.ReadFlag();
    l.endCap = ToCap(in.ReadUB(2));
    if (l.join == JoinStyle::Miter) l.miterLimit = in.ReadFixed8();
    if (l.hasFill) {
        l.fill = ReadFillStyle(in, version);
        l.color = l.fill.kind == FillKind::Solid ? l.fill.color : Rgba{};
    } else {
        l.color = ReadRgba(in);
    }
    return l;
}

void ReadStyles(BitReader& in, int version, ShapeLayer& layer) {
    const std::size_t fills = ReadStyleCount(in, version);
    for (std::size_t i = 0; i < fills; ++i) layer.fills.push_back(ReadFillStyle(in, version));
    const std::size_t lines = ReadStyleCount(in, version);
    for (std::size_t i = 0; i < lines; ++i) layer.lines.push_back(ReadLineStyle(in, version));
    layer.fillEdges.resize(layer.fills.size());
    layer.lineContours.resize(layer.lines.size());
}

}  // namespace

std::shared_ptr<ShapeDefinition> ParseDefineShape(std::span<const std::uint8_t> body, int version, EdgeBudget& budget) {
    BitReader in(body);
    auto def = std::make_shared<ShapeDefinition>();
    def->id = in.ReadU16();
    def->bounds = ReadRect(in);
    if (version >= 4) {
        ReadRect(in);  // edge bounds
        in.ReadUB(5);
        def->shape.nonZeroWinding = in.ReadFlag();
        in.ReadUB(2);
    }
    Shape& shape = def->shape;
    shape.layers.emplace_back();
    ReadStyles(in, version, shape.layers.back());
    in.Align();
    const unsigned fillBits = in.ReadUB(4);
    const unsigned lineBits = in.ReadUB(4);
    // The walker's bit widths change with each new style section.
    auto onNewStyles = [&](unsigned& fb, unsigned& lb) {
        shape.layers.emplace_back();
        ReadStyles(in, version, shape.layers.back());
        in.Align();
        fb = in.ReadUB(4);
        lb = in.ReadUB(4);
    };
    auto onEdge = [&](const Segment& s, std::uint32_t fill0, std::uint32_t fill1, std::uint32_t line) {
        budget.Take(AddEdge(shape.layers.back(), s, fill0, fill1, line));
    };
    WalkShapeRecords(in, fillBits, lineBits, true, onNewStyles, onEdge);
    return def;
}

Glyph ReadGlyphShape(BitReader& in, EdgeBudget& budget) {
    in.Align();
    const unsigned fillBits = in.ReadUB(4);
    const unsigned lineBits = in.ReadUB(4);
    Glyph glyph;
    auto onEdge = [&](const Segment& s, std::uint32_t fill0, std::uint32_t fill1, std::uint32_t) {
        // An edge with the fill on both sides bounds nothing.
        if ((fill0 != 0) == (fill1 != 0)) return;
        if (fill1 != 0) {
            budget.Take();
            glyph.edges.push_back(s);
        } else {
            budget.Take();
            glyph.edges.push_back(Reversed(s));
        }
    };
    WalkShapeRecords(
        in, fillBits, lineBits, false, [](unsigned&, unsigned&) {}, onEdge);
    return glyph;
}

}  // namespace swf
