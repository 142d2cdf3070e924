#pragma once
// Rectangles and integer arithmetic of the drawing model.
//
// A rectangle is (left, top, right, bottom) with right and bottom exclusive:
// (0, 0, W, H) is a whole W x H image. A rectangle whose right is not greater
// than its left, or whose bottom is not greater than its top, is empty.

#include <cstdint>
#include <cstdlib>

namespace ls {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
  constexpr bool Contains(int x, int y) const {
    return x >= left && x < right && y >= top && y < bottom;
  }
  constexpr Rect Offset(int dx, int dy) const {
    return {left + dx, top + dy, right + dx, bottom + dy};
  }
  // The common part; an empty rectangle when they do not meet.
  constexpr Rect Intersect(const Rect& o) const {
    Rect r{left > o.left ? left : o.left, top > o.top ? top : o.top,
           right < o.right ? right : o.right, bottom < o.bottom ? bottom : o.bottom};
    if (r.IsEmpty()) return {};
    return r;
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// a x b / c with a 64-bit intermediate, rounded to the nearest integer with
// halves away from zero; -1 when c is 0 or the result does not fit (the
// platform's MulDiv).
constexpr int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const int64_t p = static_cast<int64_t>(a) * b;
  int64_t q = p / c;
  const int64_t r = p % c;
  const int64_t ar = r < 0 ? -r : r;
  const int64_t ac = c < 0 ? -static_cast<int64_t>(c) : c;
  if (2 * ar >= ac) q += ((p < 0) != (c < 0)) ? -1 : 1;
  if (q > INT32_MAX || q < INT32_MIN) return -1;
  return static_cast<int>(q);
}

}  // namespace ls
