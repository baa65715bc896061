#pragma once
// Colours (straight, not premultiplied) and the format's colour transform.

#include <algorithm>
#include <cstdint>

namespace swf {

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Rgba&) const = default;
};

// channel' = clamp(channel * mult + add); mult is 1.0 for "unchanged"
// (the file stores it as 8.8 fixed point, 256 = 1.0) and add is in 0..255 units.
struct ColorTransform {
    double rMult = 1, gMult = 1, bMult = 1, aMult = 1;
    double rAdd = 0, gAdd = 0, bAdd = 0, aAdd = 0;

    Rgba Apply(Rgba c) const {
        return {Channel(c.r, rMult, rAdd), Channel(c.g, gMult, gAdd), Channel(c.b, bMult, bAdd),
                Channel(c.a, aMult, aAdd)};
    }
    // (*this * inner) applies `inner` first, then this (parent * child).
    ColorTransform operator*(const ColorTransform& in) const {
        return {rMult * in.rMult,       gMult * in.gMult,       bMult * in.bMult,       aMult * in.aMult,
                rMult * in.rAdd + rAdd, gMult * in.gAdd + gAdd, bMult * in.bAdd + bAdd, aMult * in.aAdd + aAdd};
    }
    bool IsIdentity() const { return *this == ColorTransform{}; }
    bool operator==(const ColorTransform&) const = default;

private:
    static std::uint8_t Channel(std::uint8_t v, double mult, double add) {
        const double out = v * mult + add;
        return static_cast<std::uint8_t>(std::clamp(out, 0.0, 255.0));
    }
};

}  // namespace swf
