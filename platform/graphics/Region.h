#pragma once
// A set of pixels of a view, kept as sorted, non-overlapping spans per row.
//
// Every region is clipped to the bounds it was made with (the view): each
// region here only ever clips a copy into the view, so nothing outside it
// needs to be kept. Regions combined with each other should share their
// bounds; the pixels of `other` outside this region's bounds are dropped.
//
// Pixel conventions of the shape builders (a port of the platform's region
// rules; curved and slanted edges may differ from it by a pixel):
// - A rectangle (left, top, right, bottom) covers columns left .. right - 1
//   and rows top .. bottom - 1; right <= left or bottom <= top is empty.
// - A rounded rectangle covers the pixels of its rectangle whose centres
//   (x + 0.5, y + 0.5) lie inside or on the quarter ellipses at the corners.
// - A polygon covers the pixels whose centres lie inside it by the winding
//   rule; a centre exactly on an edge counts for the edge's right-hand
//   neighbour only (the left-closed, right-open rule), so polygons that share
//   an edge do not overlap.

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
  // Negative ellipse sizes count by their magnitude; an ellipse below 2
  // pixels either way leaves the plain rectangle.
  static Region FromRoundRect(const Rect& r, int ellipseW, int ellipseH, const Rect& bounds);
  // The inside of the closed polygon, winding fill rule (CreatePolygonRgn).
  // The last point joins the first; repeating the first point at the end
  // changes nothing. Fewer than three points, or points on one line, make an
  // empty region.
  static Region FromPolygon(std::span<const Point> points, const Rect& bounds);

  // Adds one rectangle (union). A rectangle that starts right of (or
  // touches) the last span of each of its rows is appended in constant time
  // per row, so thousands of rectangles added in row or column order stay
  // cheap.
  void AddRect(const Rect& r);
  // Empties the region; its rows keep their storage, so a region reused for
  // the next frame fills again without allocating.
  void Clear();
  // this := this OR other / this AND other / this XOR other (CombineRgn).
  void Union(const Region& other);
  void Intersect(const Region& other);
  void Xor(const Region& other);

  const Rect& Bounds() const { return bounds_; }
  bool IsEmpty() const;
  bool Contains(int x, int y) const;
  // The spans of row y, sorted by x0, neither overlapping nor touching; an
  // empty list for a row outside the bounds.
  std::span<const Span> RowSpans(int y) const;
  // The smallest rectangle that holds every pixel; empty for an empty region.
  Rect Extent() const;
  // Number of pixels in the region.
  int64_t Area() const;

  // The same set of pixels (bounds aside).
  friend bool operator==(const Region& a, const Region& b);

 private:
  // Adds columns [x0, x1) (already cut to the bounds) to row index i.
  void AddSpan(int i, int x0, int x1);

  Rect bounds_{};
  // Spans of row bounds_.top + i in rows_[i].
  std::vector<std::vector<Span>> rows_;
};

}  // namespace ls
