#pragma once
// Points, sizes, rectangles and 2-D affine transforms, in screen points.

namespace platform {

struct Point {
    double x = 0, y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    double width = 0, height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    Point origin;
    Size size;
    Rect() = default;
    Rect(double x, double y, double w, double h) : origin{x, y}, size{w, h} {}
    double minX() const { return origin.x; }
    double minY() const { return origin.y; }
    double maxX() const { return origin.x + size.width; }
    double maxY() const { return origin.y + size.height; }
    double midX() const { return origin.x + size.width / 2; }
    double midY() const { return origin.y + size.height / 2; }
    bool contains(Point p) const { return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY(); }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// x' = a*x + c*y + tx ; y' = b*x + d*y + ty. Applied to a view about its centre.
struct AffineTransform {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
    friend bool operator==(const AffineTransform&, const AffineTransform&) = default;

    static AffineTransform identity() { return {}; }
    static AffineTransform makeScale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    static AffineTransform makeTranslation(double x, double y) { return {1, 0, 0, 1, x, y}; }
    // This transform preceded by a scale, as the platform's CGAffineTransformScale.
    AffineTransform scaled(double sx, double sy) const { return {a * sx, b * sx, c * sy, d * sy, tx, ty}; }
    bool isIdentity() const { return *this == AffineTransform{}; }
    Point apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
    // Linear blend of the coefficients; what an animation draws between two transforms.
    static AffineTransform interpolate(const AffineTransform& from, const AffineTransform& to, double t) {
        auto mix = [t](double x, double y) { return x + (y - x) * t; };
        return {mix(from.a, to.a), mix(from.b, to.b),   mix(from.c, to.c),
                mix(from.d, to.d), mix(from.tx, to.tx), mix(from.ty, to.ty)};
    }
};

}   // namespace platform
