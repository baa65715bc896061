#include "swf_bytes.h"

#include <zlib.h>

#include <cmath>
#include <stdexcept>

namespace swf::test {

void Bits::UB(std::uint32_t value, unsigned bits) {
    for (unsigned i = bits; i-- > 0;) {
        if (used_ == 0) data.push_back(0);
        if ((value >> i) & 1u) data.back() |= static_cast<std::uint8_t>(0x80u >> used_);
        used_ = (used_ + 1) % 8;
    }
}

void Bits::Align() { used_ = 0; }

void Bits::U8(std::uint8_t v) {
    Align();
    data.push_back(v);
}

void Bits::U16(std::uint16_t v) {
    U8(static_cast<std::uint8_t>(v));
    U8(static_cast<std::uint8_t>(v >> 8));
}

void Bits::U32(std::uint32_t v) {
    U16(static_cast<std::uint16_t>(v));
    U16(static_cast<std::uint16_t>(v >> 16));
}

void Bits::Str(const std::string& s) {
    for (char c : s) U8(static_cast<std::uint8_t>(c));
    U8(0);
}

void Bits::Raw(const Bytes& bytes) {
    Align();
    data.insert(data.end(), bytes.begin(), bytes.end());
}

unsigned SignedBits(std::initializer_list<std::int32_t> values) {
    unsigned bits = 1;
    for (std::int32_t v : values) {
        unsigned n = 1;
        while (n < 32 && (v < -(std::int64_t{1} << (n - 1)) || v >= (std::int64_t{1} << (n - 1)))) ++n;
        if (n > bits) bits = n;
    }
    return bits;
}

void PutRect(Bits& b, std::int32_t xMin, std::int32_t xMax, std::int32_t yMin, std::int32_t yMax) {
    b.Align();
    const unsigned n = SignedBits({xMin, xMax, yMin, yMax});
    b.UB(n, 5);
    b.SB(xMin, n);
    b.SB(xMax, n);
    b.SB(yMin, n);
    b.SB(yMax, n);
    b.Align();
}

void PutMatrix(Bits& b, double a, double bSkew, double c, double d, std::int32_t tx, std::int32_t ty) {
    b.Align();
    auto fixed = [](double v) { return static_cast<std::int32_t>(std::lround(v * 65536)); };
    const bool hasScale = a != 1 || d != 1;
    b.Flag(hasScale);
    if (hasScale) {
        const unsigned n = SignedBits({fixed(a), fixed(d)});
        b.UB(n, 5);
        b.SB(fixed(a), n);
        b.SB(fixed(d), n);
    }
    const bool hasRotate = bSkew != 0 || c != 0;
    b.Flag(hasRotate);
    if (hasRotate) {
        const unsigned n = SignedBits({fixed(bSkew), fixed(c)});
        b.UB(n, 5);
        b.SB(fixed(bSkew), n);
        b.SB(fixed(c), n);
    }
    const unsigned n = (tx == 0 && ty == 0) ? 0 : SignedBits({tx, ty});
    b.UB(n, 5);
    b.SB(tx, n);
    b.SB(ty, n);
    b.Align();
}

void PutTranslate(Bits& b, std::int32_t tx, std::int32_t ty) { PutMatrix(b, 1, 0, 0, 1, tx, ty); }

void PutRgb(Bits& b, std::uint8_t r, std::uint8_t g, std::uint8_t bl) {
    b.U8(r);
    b.U8(g);
    b.U8(bl);
}

void PutRgba(Bits& b, std::uint8_t r, std::uint8_t g, std::uint8_t bl, std::uint8_t a) {
    PutRgb(b, r, g, bl);
    b.U8(a);
}

Bytes Tag(std::uint16_t code, const Bytes& body, bool forceLong) {
    Bits b;
    if (body.size() < 0x3f && !forceLong) {
        b.U16(static_cast<std::uint16_t>((code << 6) | body.size()));
    } else {
        b.U16(static_cast<std::uint16_t>((code << 6) | 0x3f));
        b.U32(static_cast<std::uint32_t>(body.size()));
    }
    b.Raw(body);
    return b.data;
}

Bytes Movie(const std::vector<Bytes>& tags, std::int32_t widthTwips, std::int32_t heightTwips, double frameRate,
            std::uint16_t frameCount, std::uint8_t version) {
    Bits body;
    PutRect(body, 0, widthTwips, 0, heightTwips);
    body.U16(static_cast<std::uint16_t>(std::lround(frameRate * 256)));
    body.U16(frameCount);
    for (const Bytes& t : tags) body.Raw(t);
    body.Raw(Tag(0, {}));
    Bits file;
    file.U8('F');
    file.U8('W');
    file.U8('S');
    file.U8(version);
    file.U32(static_cast<std::uint32_t>(body.data.size() + 8));
    file.Raw(body.data);
    return file.data;
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
    b_.UB(0, 1);
    b_.Flag(false);  // new styles
    b_.Flag(line >= 0);
    b_.Flag(fill1 >= 0);
    b_.Flag(fill0 >= 0);
    b_.Flag(move);
    if (move) {
        const unsigned n = SignedBits({x, y});
        b_.UB(n, 5);
        b_.SB(x, n);
        b_.SB(y, n);
    }
    if (fill0 >= 0) b_.UB(static_cast<std::uint32_t>(fill0), fillBits_);
    if (fill1 >= 0) b_.UB(static_cast<std::uint32_t>(fill1), fillBits_);
    if (line >= 0) b_.UB(static_cast<std::uint32_t>(line), lineBits_);
}

void ShapeRecords::Move(std::int32_t x, std::int32_t y, int fill0, int fill1, int line) {
    StyleChange(true, x, y, fill0, fill1, line);
}

void ShapeRecords::Styles(int fill0, int fill1, int line) { StyleChange(false, 0, 0, fill0, fill1, line); }

void ShapeRecords::Line(std::int32_t dx, std::int32_t dy) {
    const unsigned n = std::max(2u, SignedBits({dx, dy}));
    b_.UB(1, 1);
    b_.UB(1, 1);
    b_.UB(n - 2, 4);
    if (dx != 0 && dy != 0) {
        b_.Flag(true);
        b_.SB(dx, n);
        b_.SB(dy, n);
    } else {
        b_.Flag(false);
        b_.Flag(dx == 0);  // vertical
        b_.SB(dx == 0 ? dy : dx, n);
    }
}

void ShapeRecords::Curve(std::int32_t cdx, std::int32_t cdy, std::int32_t adx, std::int32_t ady) {
    const unsigned n = std::max(2u, SignedBits({cdx, cdy, adx, ady}));
    b_.UB(1, 1);
    b_.UB(0, 1);
    b_.UB(n - 2, 4);
    b_.SB(cdx, n);
    b_.SB(cdy, n);
    b_.SB(adx, n);
    b_.SB(ady, n);
}

void ShapeRecords::End() {
    b_.UB(0, 6);
    b_.Align();
}

Bytes RectangleShape(std::uint16_t id, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                     std::uint8_t r, std::uint8_t g, std::uint8_t bl, std::uint8_t a, int version) {
    Bits b;
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
    b.UB(1, 4);
    b.UB(0, 4);
    ShapeRecords s(b, 1, 0);
    s.Move(x0, y0, -1, 1, -1);
    s.Line(x1 - x0, 0);
    s.Line(0, y1 - y0);
    s.Line(x0 - x1, 0);
    s.Line(0, y0 - y1);
    s.End();
    return b.data;
}

Bytes PlaceObject2(const Place& p) {
    Bits b;
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
        b.Flag(true);
        b.Flag(true);
        const unsigned n = SignedBits({p.mult[0], p.mult[1], p.mult[2], p.mult[3], p.add[0], p.add[1], p.add[2], p.add[3]});
        b.UB(n, 4);
        for (auto v : p.mult) b.SB(v, n);
        for (auto v : p.add) b.SB(v, n);
        b.Align();
    }
    if (p.ratio >= 0) b.U16(static_cast<std::uint16_t>(p.ratio));
    if (!p.name.empty()) b.Str(p.name);
    if (p.clipDepth >= 0) b.U16(static_cast<std::uint16_t>(p.clipDepth));
    return Tag(26, b.data);
}

Bytes RemoveObject2(std::uint16_t depth) {
    Bits b;
    b.U16(depth);
    return Tag(28, b.data);
}

Bytes ShowFrame() { return Tag(1, {}); }

Bytes FrameLabel(const std::string& label) {
    Bits b;
    b.Str(label);
    return Tag(43, b.data);
}

Bytes SetBackground(std::uint8_t r, std::uint8_t g, std::uint8_t bl) {
    Bits b;
    PutRgb(b, r, g, bl);
    return Tag(9, b.data);
}

Bytes DoAction(const Bytes& code) { return Tag(12, code); }

Bytes DefineSprite(std::uint16_t id, std::uint16_t frames, const std::vector<Bytes>& tags) {
    Bits b;
    b.U16(id);
    b.U16(frames);
    for (const Bytes& t : tags) b.Raw(t);
    b.Raw(Tag(0, {}));
    return Tag(39, b.data);
}

}  // namespace swf::test
