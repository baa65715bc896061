#include "swf/io/shape_parser.h"

#include "swf/io/parse_error.h"
#include "swf/io/records.h"

namespace swf {

void EdgeBudget::Take() {
    if (remaining == 0) throw ParseError("movie holds too many shape edges");
    --remaining;
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
            f.kind = type == 0x10 ? FillKind::LinearGradient
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
        default:
            throw ParseError("unknown fill style type");
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

Segment Reversed(const Segment& s) { return {s.x1, s.y1, s.cx, s.cy, s.x0, s.y0, s.curved}; }

// Walks the shape records, handing every edge with the styles in force to `onEdge`.
// Returns normally at the end-of-shape record.
template <typename OnNewStyles, typename OnEdge>
void WalkShapeRecords(BitReader& in, unsigned fillBits, unsigned lineBits, bool allowNewStyles,
                      OnNewStyles&& onNewStyles, OnEdge&& onEdge) {
    double x = 0, y = 0;
    std::uint32_t fill0 = 0, fill1 = 0, line = 0;
    while (true) {
        if (in.ReadFlag()) {  // edge record
            const bool straight = in.ReadFlag();
            const unsigned bits = in.ReadUB(4) + 2;
            Segment s;
            s.x0 = static_cast<float>(x);
            s.y0 = static_cast<float>(y);
            if (straight) {
                double dx = 0, dy = 0;
                if (in.ReadFlag()) {
                    dx = in.ReadSB(bits);
                    dy = in.ReadSB(bits);
                } else if (in.ReadFlag()) {
                    dy = in.ReadSB(bits);
                } else {
                    dx = in.ReadSB(bits);
                }
                x += dx;
                y += dy;
            } else {
                const double cx = x + in.ReadSB(bits);
                const double cy = y + in.ReadSB(bits);
                x = cx + in.ReadSB(bits);
                y = cy + in.ReadSB(bits);
                s.cx = static_cast<float>(cx);
                s.cy = static_cast<float>(cy);
                s.curved = true;
            }
            s.x1 = static_cast<float>(x);
            s.y1 = static_cast<float>(y);
            onEdge(s, fill0, fill1, line);
            continue;
        }
        const bool newStyles = in.ReadFlag();
        const bool hasLine = in.ReadFlag();
        const bool hasFill1 = in.ReadFlag();
        const bool hasFill0 = in.ReadFlag();
        const bool moveTo = in.ReadFlag();
        if (!newStyles && !hasLine && !hasFill1 && !hasFill0 && !moveTo) return;
        if (moveTo) {
            const unsigned bits = in.ReadUB(5);
            x = in.ReadSB(bits);
            y = in.ReadSB(bits);
        }
        if (hasFill0) fill0 = in.ReadUB(fillBits);
        if (hasFill1) fill1 = in.ReadUB(fillBits);
        if (hasLine) line = in.ReadUB(lineBits);
        if (newStyles) {
            if (!allowNewStyles) throw ParseError("new styles inside a style-less shape");
            onNewStyles(fillBits, lineBits);
            fill0 = fill1 = line = 0;
        }
    }
}

void AddToContours(std::vector<Contour>& contours, const Segment& s) {
    if (!contours.empty()) {
        const Segment& last = contours.back().back();
        if (last.x1 == s.x0 && last.y1 == s.y0) {
            contours.back().push_back(s);
            return;
        }
    }
    contours.push_back({s});
}

}  // namespace

std::shared_ptr<ShapeDefinition> ParseDefineShape(std::span<const std::uint8_t> body, int version,
                                                  EdgeBudget& budget) {
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
        ShapeLayer& layer = shape.layers.back();
        // Indices past the arrays are ignored rather than trusted.
        if (fill0 != 0 && fill0 <= layer.fills.size()) {
            budget.Take();
            layer.fillEdges[fill0 - 1].push_back(Reversed(s));
        }
        if (fill1 != 0 && fill1 <= layer.fills.size()) {
            budget.Take();
            layer.fillEdges[fill1 - 1].push_back(s);
        }
        if (line != 0 && line <= layer.lines.size()) {
            budget.Take();
            AddToContours(layer.lineContours[line - 1], s);
        }
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
    WalkShapeRecords(in, fillBits, lineBits, false, [](unsigned&, unsigned&) {}, onEdge);
    return glyph;
}

}  // namespace swf
