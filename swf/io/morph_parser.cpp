#include "swf/io/morph_parser.h"

#include <vector>

#include "swf/io/parse_error.h"
#include "swf/io/records.h"
#include "swf/io/shape_records.h"

namespace swf {

namespace {

void ReadMorphGradient(BitReader& in, bool focal, MorphFillStyle& fill) {
    in.Align();
    const unsigned spread = in.ReadUB(2);
    fill.spread = spread == 1 ? SpreadMode::Reflect : spread == 2 ? SpreadMode::Repeat : SpreadMode::Pad;
    fill.linearRgb = in.ReadUB(2) == 1;
    const unsigned count = in.ReadUB(4);
    for (unsigned i = 0; i < count; ++i) {
        MorphGradientStop stop;
        stop.startRatio = in.ReadU8();
        stop.startColor = ReadRgba(in);
        stop.endRatio = in.ReadU8();
        stop.endColor = ReadRgba(in);
        fill.stops.push_back(stop);
    }
    if (focal) {
        fill.startFocalPoint = in.ReadFixed8();
        fill.endFocalPoint = in.ReadFixed8();
    }
}

MorphFillStyle ReadMorphFillStyle(BitReader& in) {
    MorphFillStyle f;
    const std::uint8_t type = in.ReadU8();
    switch (type) {
    case 0x00:
        f.kind = FillKind::Solid;
        f.startColor = ReadRgba(in);
        f.endColor = ReadRgba(in);
        break;
    case 0x10:
    case 0x12:
    case 0x13:
        f.kind = type == 0x10   ? FillKind::LinearGradient
                 : type == 0x12 ? FillKind::RadialGradient
                                : FillKind::FocalGradient;
        f.startMatrix = ReadMatrix(in);
        f.endMatrix = ReadMatrix(in);
        ReadMorphGradient(in, type == 0x13, f);
        break;
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
        f.kind = FillKind::Bitmap;
        f.bitmapRepeat = type == 0x40 || type == 0x42;
        f.bitmapSmooth = type == 0x40 || type == 0x41;
        f.bitmapId = in.ReadU16();
        f.startMatrix = ReadMatrix(in);
        f.endMatrix = ReadMatrix(in);
        break;
    default: throw ParseError("unknown morph fill style type");
    }
    return f;
}

CapStyle ToCap(unsigned v) { return v == 1 ? CapStyle::None : v == 2 ? CapStyle::Square : CapStyle::Round; }

MorphLineStyle ReadMorphLineStyle(BitReader& in, int version) {
    MorphLineStyle l;
    l.startWidth = in.ReadU16();
    l.endWidth = in.ReadU16();
    if (version >= 2) {
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
            l.fill = ReadMorphFillStyle(in);
            return l;
        }
    }
    l.startColor = ReadRgba(in);
    l.endColor = ReadRgba(in);
    return l;
}

// Morph style arrays always allow the extended count.
std::size_t ReadStyleCount(BitReader& in) {
    std::size_t count = in.ReadU8();
    if (count == 0xff) count = in.ReadU16();
    return count;
}

// Morph shapes have one style section: a new-styles record is malformed.
void NoNewStyles(unsigned&, unsigned&) {}

}  // namespace

std::shared_ptr<MorphShapeDefinition> ParseDefineMorphShape(std::span<const std::uint8_t> body, int version,
                                                            EdgeBudget& budget) {
    BitReader in(body);
    auto def = std::make_shared<MorphShapeDefinition>();
    def->id = in.ReadU16();
    def->startBounds = ReadRect(in);
    def->endBounds = ReadRect(in);
    if (version >= 2) {
        ReadRect(in);  // start edge bounds
        ReadRect(in);  // end edge bounds
        in.ReadU8();   // stroke scaling hints
    }
    // The end edges start `offset` bytes after the offset field.
    const std::uint32_t offset = in.ReadU32();
    if (offset > in.Remaining()) throw ParseError("morph shape's end edges lie past the tag");
    const std::size_t endEdgesAt = in.Position() + offset;

    const std::size_t fills = ReadStyleCount(in);
    for (std::size_t i = 0; i < fills; ++i) def->fills.push_back(ReadMorphFillStyle(in));
    const std::size_t lines = ReadStyleCount(in);
    for (std::size_t i = 0; i < lines; ++i) def->lines.push_back(ReadMorphLineStyle(in, version));

    in.Align();
    const unsigned fillBits = in.ReadUB(4);
    const unsigned lineBits = in.ReadUB(4);
    WalkShapeRecords(in, fillBits, lineBits, false, NoNewStyles,
                     [&](const Segment& s, std::uint32_t fill0, std::uint32_t fill1, std::uint32_t line) {
                         budget.Take();
                         def->edges.push_back({s, s, fill0, fill1, line});
                     });

    // The end edges carry only geometry; style indices there mean nothing.
    BitReader endIn(body.subspan(endEdgesAt));
    const unsigned endFillBits = endIn.ReadUB(4);
    const unsigned endLineBits = endIn.ReadUB(4);
    std::vector<Segment> ends;
    WalkShapeRecords(endIn, endFillBits, endLineBits, false, NoNewStyles,
                     [&](const Segment& s, std::uint32_t, std::uint32_t, std::uint32_t) {
                         budget.Take();
                         ends.push_back(s);
                     });
    if (ends.size() == def->edges.size()) {
        for (std::size_t i = 0; i < ends.size(); ++i) def->edges[i].end = ends[i];
    } else {
        def->outlineMorphs = false;
    }
    return def;
}

}  // namespace swf
