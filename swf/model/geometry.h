#pragma once
// Plane geometry in the movie's units (twips unless stated): points,
// rectangles and the 2x3 affine matrix of the format.

#include <cstdint>

namespace swf {

struct Point {
    double x = 0;
    double y = 0;
    bool operator==(const Point&) const = default;
};

struct Rect {
    std::int32_t xMin = 0;
    std::int32_t xMax = 0;
    std::int32_t yMin = 0;
    std::int32_t yMax = 0;
    std::int32_t Width() const { return xMax - xMin; }
    std::int32_t Height() const { return yMax - yMin; }
    bool operator==(const Rect&) const = default;
};

// x' = a*x + c*y + tx ; y' = b*x + d*y + ty  (a = ScaleX, b = RotateSkew0,
// c = RotateSkew1, d = ScaleY in the file's terms).
struct Matrix {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static Matrix Translate(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static Matrix Scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }

    Point Apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
    // (*this * inner) applies `inner` first, then this.
    Matrix operator*(const Matrix& inner) const {
        return {a * inner.a + c * inner.b, b * inner.a + d * inner.b,        a * inner.c + c * inner.d,
                b * inner.c + d * inner.d, a * inner.tx + c * inner.ty + tx, b * inner.tx + d * inner.ty + ty};
    }
    double Determinant() const { return a * d - b * c; }
    // False (and *out unchanged) when the matrix cannot be inverted.
    bool Invert(Matrix* out) const;
    bool operator==(const Matrix&) const = default;
};

inline bool Matrix::Invert(Matrix* out) const {
    const double det = Determinant();
    if (det == 0 || det != det) return false;
    const double ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
    *out = {ia, ib, ic, id, -(ia * tx + ic * ty), -(ib * tx + id * ty)};
    return true;
}

}  // namespace swf
