#pragma once
// Plain geometry for the layout core: points, sizes and rectangles whose right and bottom edges
// are exclusive (a rectangle from 0 to 10 is 10 pixels wide), and the rounding multiply-divide.

#include <algorithm>
#include <cstdint>

namespace zb {

struct TPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static TRect FromSize(int left, int top, int width, int height) {
        return {left, top, left + width, top + height};
    }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    TSize Size() const { return {Width(), Height()}; }
    TPoint TopLeft() const { return {left, top}; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(TPoint p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    TRect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    TRect Inflate(int dx, int dy) const { return {left - dx, top - dy, right + dx, bottom + dy}; }
    // True when the two rectangles share at least one pixel.
    bool Intersects(const TRect& o) const {
        return !IsEmpty() && !o.IsEmpty() && std::max(left, o.left) < std::min(right, o.right) &&
               std::max(top, o.top) < std::min(bottom, o.bottom);
    }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// a * b / c with a 64-bit intermediate, rounded to the nearest integer (halves away from zero).
// Like the platform function it answers -1 when c is 0 or the result does not fit.
inline int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    std::int64_t num = static_cast<std::int64_t>(a) * b;
    std::int64_t den = c;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    std::int64_t q = num >= 0 ? (num + den / 2) / den : -((-num + den / 2) / den);
    if (q > INT32_MAX || q < INT32_MIN) return -1;
    return static_cast<int>(q);
}

}  // namespace zb
