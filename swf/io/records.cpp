#include "swf/io/records.h"

namespace swf {

Rect ReadRect(BitReader& in) {
    in.Align();
    const unsigned bits = in.ReadUB(5);
    Rect r;
    r.xMin = in.ReadSB(bits);
    r.xMax = in.ReadSB(bits);
    r.yMin = in.ReadSB(bits);
    r.yMax = in.ReadSB(bits);
    in.Align();
    return r;
}

Matrix ReadMatrix(BitReader& in) {
    in.Align();
    Matrix m;
    if (in.ReadFlag()) {
        const unsigned bits = in.ReadUB(5);
        m.a = in.ReadFB(bits);
        m.d = in.ReadFB(bits);
    }
    if (in.ReadFlag()) {
        const unsigned bits = in.ReadUB(5);
        m.b = in.ReadFB(bits);
        m.c = in.ReadFB(bits);
    }
    const unsigned bits = in.ReadUB(5);
    m.tx = in.ReadSB(bits);
    m.ty = in.ReadSB(bits);
    in.Align();
    return m;
}

ColorTransform ReadColorTransform(BitReader& in, bool withAlpha) {
    in.Align();
    const bool hasAdd = in.ReadFlag();
    const bool hasMult = in.ReadFlag();
    const unsigned bits = in.ReadUB(4);
    ColorTransform cx;
    if (hasMult) {
        cx.rMult = in.ReadSB(bits) / 256.0;
        cx.gMult = in.ReadSB(bits) / 256.0;
        cx.bMult = in.ReadSB(bits) / 256.0;
        if (withAlpha) cx.aMult = in.ReadSB(bits) / 256.0;
    }
    if (hasAdd) {
        cx.rAdd = in.ReadSB(bits);
        cx.gAdd = in.ReadSB(bits);
        cx.bAdd = in.ReadSB(bits);
        if (withAlpha) cx.aAdd = in.ReadSB(bits);
    }
    in.Align();
    return cx;
}

Rgba ReadRgb(BitReader& in) {
    Rgba c;
    c.r = in.ReadU8();
    c.g = in.ReadU8();
    c.b = in.ReadU8();
    return c;
}

Rgba ReadRgba(BitReader& in) {
    Rgba c = ReadRgb(in);
    c.a = in.ReadU8();
    return c;
}

}  // namespace swf
