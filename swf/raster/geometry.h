#pragma once

namespace swf::raster {

// A rectangle of whole pixels, left and top inside, right and bottom outside.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    long long Area() const { return empty() ? 0 : static_cast<long long>(width()) * height(); }
    bool Intersects(const PixelRect& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    // The smallest rectangle holding both (an empty one adds nothing).
    PixelRect United(const PixelRect& o) const;
    PixelRect Intersected(const PixelRect& o) const;
    bool operator==(const PixelRect&) const = default;
};

struct Point {
    double x = 0;
    double y = 0;
};

// An affine transform with the usual 2-D graphics naming:
//   x' = a * x + c * y + tx
//   y' = b * x + d * y + ty
// (a = scale x, b = rotate/skew 0, c = rotate/skew 1, d = scale y).
struct Matrix {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static Matrix Identity() { return {}; }
    static Matrix Translate(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static Matrix Scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    static Matrix Rotate(double radians);

    Point Apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }

    // The transform that applies `inner` first, then this one.
    Matrix operator*(const Matrix& inner) const;

    double Determinant() const { return a * d - b * c; }
    // Geometric mean of the scale factors: how a length (a stroke width) grows on average.
    double MeanScale() const;
    // False (and `out` untouched) when the matrix is singular or not finite.
    bool Invert(Matrix& out) const;
    bool IsFinite() const;
};

}  // namespace swf::raster
