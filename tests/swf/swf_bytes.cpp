#include "tests/swf/swf_bytes.h"

#include <zlib.h>

#include <cmath>
#include <stdexcept>

namespace swf::test {

void PutRect(BitWriter& b, std::int32_t xMin, std::int32_t xMax, std::int32_t yMin, std::int32_t yMax) {
    b.Align();
    const unsigned n = writer::BitsForSigned({xMin, xMax, yMin, yMax});
    b.UB(5, n);
    b.SB(n, xMin);
    b.SB(n, xMax);
    b.SB(n, yMin);
    b.SB(n, yMax);
    b.Align();
}

void PutMatrix(BitWriter& b, double a, double bSkew, double c, double d, std::int32_t tx, std::int32_t ty) {
    b.Align();
    auto fixed = [](double v) { return static_cast<std::int32_t>(std::lround(v * 65536)); };
    const bool hasScale = a != 1 || d != 1;
    b.UB(1, hasScale);
    if (hasScale) {
        const unsigned n = writer::BitsForSigned({fixed(a), fixed(d)});
        b.UB(5, n);
        b.SB(n, fixed(a));
        b.SB(n, fixed(d));
    }
    const bool hasRotate = bSkew != 0 || c != 0;
    b.UB(1, hasRotate);
    if (hasRotate) {
        const unsigned n = writer::BitsForSigned({fixed(bSkew), fixed(c)});
        b.UB(5, n);
        b.SB(n, fixed(bSkew));
        b.SB(n, fixed(c));
    }
    const unsigned n = (tx == 0 && ty == 0) ? 0 : writer::BitsForSigned({tx, ty});
    b.UB(5, n);
    b.SB(n, tx);
    b.SB(n, ty);
    b.Align();
}

void PutTranslate(BitWriter& b, std::int32_t tx, std::int32_t ty) { PutMatrix(b, 1, 0, 0, 1, tx, ty); }

void PutRgb(BitWriter& b, std::uint8_t r, std::uint8_t g, std::uint8_t bl) {
    b.U8(r);
    b.U8(g);
    b.U8(bl);
}

void PutRgba(BitWriter& b, std::uint8_t r, std::uint8_t g, std::uint8_t bl, std::uint8_t a) {
    PutRgb(b, r, g, bl);
    b.U8(a);
}

Bytes Tag(std::uint16_t code, const Bytes& body, bool forceLong) {
    BitWriter b;
    if (body.size() < 0x3f && !forceLong) {
        b.U16(static_cast<std::uint16_t>((code << 6) | body.size()));
    } else {
        b.U16(static_cast<std::uint16_t>((code << 6) | 0x3f));
        b.U32(static_cast<std::uint32_t>(body.size()));
    }
    b.Bytes(body);
    return b.bytes();
}

Bytes Movie(const std::vector<Bytes>& tags, std::int32_t widthTwips, std::int32_t heightTwips, double frameRate,
            std::uint16_t frameCount, std::uint8_t version) {
    BitWriter body;
    PutRect(body, 0, widthTwips, 0, heightTwips);
    body.U16(static_cast<std::uint16_t>(std::lround(frameRate * 256)));
    body.U16(frameCount);
    for (const Bytes& t : tags) body.Bytes(t);
    body.Bytes(Tag(0, {}));
    BitWriter file;
    file.U8('F');
    file.U8('W');
    file.U8('S');
    file.U8(version);
    file.U32(static_cast<std::uint32_t>(body.bytes().size() + 8));
    file.Bytes(body.bytes());
    return file.bytes();
}

Bytes Compress(const Bytes& movie) {
    uLongf size = compressBound(static_cast<uLong>(movie.size() - 8));
    Bytes packed(size);
    if (compress(packed.data(), &size, movie.data() + 8, static_cast<uLong>(movie.size() - 8)) != Z_OK) {
        throw std::runtime_error("compress failed");
    }
    packed.resize(size);
    Bytes out(movie.begin(), movie.begin() + 8);
    out[0] = 'C';
    out.insert(out.end(), packed.begin(), packed.end());
    return out;
}

void ShapeRecords::StyleChange(bool move, std::int32_t x, std::int32_t y, int fill0, int fill1, int line) {
    b_.UB(1, 0);
    b_.UB(1, false);  // new styles
    b_.UB(1, line >= 0);
    b_.UB(1, fill1 >= 0);
    b_.UB(1, fill0 >= 0);
    b_.UB(1, move);
    if (move) {
        const unsigned n = writer::BitsForSigned({x, y});
        b_.UB(5, n);
        b_.SB(n, x);
        b_.SB(n, y);
    }
    if (fill0 >= 0) b_.UB(fillBits_, static_cast<std::uint32_t>(fill0));
    if (fill1 >= 0) b_.UB(fillBits_, static_cast<std::uint32_t>(fill1));
    if (line >= 0) b_.UB(lineBits_, static_cast<std::uint32_t>(line));
}

void ShapeRecords::Move(std::int32_t x, std::int32_t y, int fill0, int fill1, int line) {
    StyleChange(true, x, y, fill0, fill1, line);
}

void ShapeRecords::Styles(int fill0, int fill1, int line) { StyleChange(false, 0, 0, fill0, fill1, line); }

void ShapeRecords::Line(std::int32_t dx, std::int32_t dy) {
    const unsigned n = std::max(2u, writer::BitsForSigned({dx, dy}));
    b_.UB(1, 1);
    b_.UB(1, 1);
    b_.UB(4, n - 2);
    if (dx != 0 && dy != 0) {
        b_.UB(1, true);
        b_.SB(n, dx);
        b_.SB(n, dy);
    } else {
        b_.UB(1, false);
        b_.UB(1, dx == 0);  // vertical
        b_.SB(n, dx == 0 ? dy : dx);
    }
}

void ShapeRecords::Curve(std::int32_t cdx, std::int32_t cdy, std::int32_t adx, std::int32_t ady) {
    const unsigned n = std::max(2u, writer::BitsForSigned({cdx, cdy, adx, ady}));
    b_.UB(1, 1);
    b_.UB(1, 0);
    b_.UB(4, n - 2);
    b_.SB(n, cdx);
    b_.SB(n, cdy);
    b_.SB(n, adx);
    b_.SB(n, ady);
}

void ShapeRecords::End() {
    b_.UB(6, 0);
    b_.Align();
}

Bytes RectangleShape(std::uint16_t id, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                     std::uint8_t r, std::uint8_t g, std::uint8_t bl, std::uint8_t a, int version) {
    BitWriter b;
    b.U16(id);
    PutRect(b, x0, x1, y0, y1);
    b.U8(1);     // one fill style
    b.U8(0x00);  // solid
    if (version >= 3) {
        PutRgba(b, r, g, bl, a);
    } else {
        PutRgb(b, r, g, bl);
    }
    b.U8(0);  // no line styles
    b.UB(4, 1);
    b.UB(4, 0);
    ShapeRecords s(b, 1, 0);
    s.Move(x0, y0, -1, 1, -1);
    s.Line(x1 - x0, 0);
    s.Line(0, y1 - y0);
    s.Line(x0 - x1, 0);
    s.Line(0, y0 - y1);
    s.End();
    return b.bytes();
}

Bytes PlaceObject2(const Place& p) {
    BitWriter b;
    std::uint8_t flags = 0;
    if (p.move) flags |= 0x01;
    if (p.character >= 0) flags |= 0x02;
    if (p.hasMatrix) flags |= 0x04;
    if (p.hasColor) flags |= 0x08;
    if (p.ratio >= 0) flags |= 0x10;
    if (!p.name.empty()) flags |= 0x20;
    if (p.clipDepth >= 0) flags |= 0x40;
    b.U8(flags);
    b.U16(p.depth);
    if (p.character >= 0) b.U16(static_cast<std::uint16_t>(p.character));
    if (p.hasMatrix) PutMatrix(b, p.scaleX, 0, 0, p.scaleY, p.tx, p.ty);
    if (p.hasColor) {
        b.Align();
        b.UB(1, true);
        b.UB(1, true);
        const unsigned n =
            writer::BitsForSigned({p.mult[0], p.mult[1], p.mult[2], p.mult[3], p.add[0], p.add[1], p.add[2], p.add[3]});
        b.UB(4, n);
        for (auto v : p.mult) b.SB(n, v);
        for (auto v : p.add) b.SB(n, v);
        b.Align();
    }
    if (p.ratio >= 0) b.U16(static_cast<std::uint16_t>(p.ratio));
    if (!p.name.empty()) b.String(p.name);
    if (p.clipDepth >= 0) b.U16(static_cast<std::uint16_t>(p.clipDepth));
    return Tag(26, b.bytes());
}

Bytes RemoveObject2(std::uint16_t depth) {
    BitWriter b;
    b.U16(depth);
    return Tag(28, b.bytes());
}

Bytes ShowFrame() { return Tag(1, {}); }

Bytes FrameLabel(const std::string& label) {
    BitWriter b;
    b.String(label);
    return Tag(43, b.bytes());
}

Bytes SetBackground(std::uint8_t r, std::uint8_t g, std::uint8_t bl) {
    BitWriter b;
    PutRgb(b, r, g, bl);
    return Tag(9, b.bytes());
}

Bytes DoAction(const Bytes& code) { return Tag(12, code); }

Bytes DefineSprite(std::uint16_t id, std::uint16_t frames, const std::vector<Bytes>& tags) {
    BitWriter b;
    b.U16(id);
    b.U16(frames);
    for (const Bytes& t : tags) b.Bytes(t);
    b.Bytes(Tag(0, {}));
    return Tag(39, b.bytes());
}

}  // namespace swf::test
