#include "swf/raster/geometry.h"

#include <algorithm>
#include <cmath>

namespace swf::raster {

Matrix Matrix::Rotate(double radians) {
    double s = std::sin(radians), k = std::cos(radians);
    return {k, s, -s, k, 0, 0};
}

Matrix Matrix::operator*(const Matrix& m) const {
    return {a * m.a + c * m.b, b * m.a + d * m.b,        a * m.c + c * m.d,
            b * m.c + d * m.d, a * m.tx + c * m.ty + tx, b * m.tx + d * m.ty + ty};
}

double Matrix::MeanScale() const { return std::sqrt(std::fabs(Determinant())); }

bool Matrix::IsFinite() const {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d) && std::isfinite(tx) &&
           std::isfinite(ty);
}

bool Matrix::Invert(Matrix& out) const {
    double det = Determinant();
    if (!IsFinite() || !std::isfinite(det) || std::fabs(det) < 1e-300) return false;
    double inv = 1.0 / det;
    Matrix r{d * inv, -b * inv, -c * inv, a * inv, 0, 0};
    r.tx = -(r.a * tx + r.c * ty);
    r.ty = -(r.b * tx + r.d * ty);
    if (!r.IsFinite()) return false;
    out = r;
    return true;
}

PixelRect PixelRect::United(const PixelRect& o) const {
    if (empty()) return o;
    if (o.empty()) return *this;
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
}

PixelRect PixelRect::Intersected(const PixelRect& o) const {
    PixelRect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    return r.empty() ? PixelRect{} : r;
}

}  // namespace swf::raster
