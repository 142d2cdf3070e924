#pragma once
// A set of pixels of a view, kept as sorted, non-overlapping spans per row.
//
// Every region is clipped to the bounds it was made with (the view): each
// region here only ever clips a copy into the view, so nothing outside it
// needs to be kept. Regions combined with each other must share their bounds.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/graphics/Geometry.h"

namespace ls {

// Columns [x0, x1) of one row.
struct Span {
  int x0 = 0;
  int x1 = 0;
  friend bool operator==(const Span&, const Span&) = default;
};

class Region {
 public:
  Region() = default;
  // An empty region within `bounds`.
  explicit Region(const Rect& bounds);

  // The pixels of r (CreateRectRgn).
  static Region FromRect(const Rect& r, const Rect& bounds);
  // A rectangle whose corners are quarter ellipses of ellipseW x ellipseH; an
  // ellipse larger than the rectangle is reduced to it (CreateRoundRectRgn).
  static Region FromRoundRect(const Rect& r, int ellipseW, int ellipseH, const Rect& bounds);
  // The inside of the closed polygon, winding fill rule (CreatePolygonRgn).
  static Region FromPolygon(std::span<const Point> points, const Rect& bounds);

  // Adds one rectangle (union). Adding rectangles in row order costs time in
  // proportion to the rows they cover, so thousands of them stay cheap.
  void AddRect(const Rect& r);
  // this := this OR other / this AND other / this XOR other (CombineRgn).
  void Union(const Region& other);
  void Intersect(const Region& other);
  void Xor(const Region& other);

  const Rect& Bounds() const { return bounds_; }
  bool IsEmpty() const;
  bool Contains(int x, int y) const;
  // The spans of row y (y inside the bounds), sorted by x0.
  std::span<const Span> RowSpans(int y) const;
  // The smallest rectangle that holds every pixel; empty for an empty region.
  Rect Extent() const;
  // Number of pixels in the region.
  int64_t Area() const;

  friend bool operator==(const Region& a, const Region& b);

 private:
  Rect bounds_{};
  // Spans of row bounds_.top + i in rows_[i]; the storage is the
  // implementation's to choose.
  std::vector<std::vector<Span>> rows_;
};

}  // namespace ls
