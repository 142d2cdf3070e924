#include "platform/graphics/Region.h"

#include <algorithm>
#include <cmath>

#include "platform/graphics/Int128.h"

namespace ls {

namespace {

using Row = std::vector<Span>;

int ClampToInt(int64_t v, int lo, int hi) {
  return static_cast<int>(std::clamp<int64_t>(v, lo, hi));
}

// Appends [x0, x1) to a row being built from left to right, joining it to the
// last span when they overlap or touch.
void AppendSpan(Row& out, int x0, int x1) {
  if (x1 <= x0) return;
  if (!out.empty() && x0 <= out.back().x1) {
    out.back().x1 = std::max(out.back().x1, x1);
    return;
  }
  out.push_back({x0, x1});
}

void UnionRows(const Row& a, std::span<const Span> b, Row& out) {
  out.clear();
  out.reserve(a.size() + b.size());
  size_t i = 0, j = 0;
  while (i < a.size() || j < b.size()) {
    const Span& s = (j == b.size() || (i < a.size() && a[i].x0 <= b[j].x0)) ? a[i++] : b[j++];
    AppendSpan(out, s.x0, s.x1);
  }
}

void IntersectRows(const Row& a, std::span<const Span> b, Row& out) {
  out.clear();
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const int x0 = std::max(a[i].x0, b[j].x0);
    const int x1 = std::min(a[i].x1, b[j].x1);
    if (x0 < x1) out.push_back({x0, x1});
    if (a[i].x1 < b[j].x1) {
      ++i;
    } else {
      ++j;
    }
  }
}

// The pixels in exactly one of the rows. The ends of both span lists, merged
// in order, toggle membership; so the result is the pairs of consecutive
// merged ends.
void XorRows(const Row& a, std::span<const Span> b, Row& out) {
  out.clear();
  std::vector<int> ends;
  ends.reserve(2 * (a.size() + b.size()));
  size_t i = 0, j = 0;
  const size_t na = 2 * a.size(), nb = 2 * b.size();
  auto endOf = [](std::span<const Span> r, size_t k) { return k % 2 == 0 ? r[k / 2].x0 : r[k / 2].x1; };
  while (i < na || j < nb) {
    if (j == nb || (i < na && endOf(a, i) <= endOf(b, j))) {
      ends.push_back(endOf(a, i++));
    } else {
      ends.push_back(endOf(b, j++));
    }
  }
  for (size_t k = 0; k + 1 < ends.size(); k += 2) AppendSpan(out, ends[k], ends[k + 1]);
}

// Columns of `row` cut to [x0, x1).
void CutRow(std::span<const Span> row, int x0, int x1, Row& out) {
  out.clear();
  for (const Span& s : row) AppendSpan(out, std::max(s.x0, x0), std::min(s.x1, x1));
}

// How many pixels of a quarter ellipse's row are left out at the side.
//
// The ellipse fills an ew x eh box whose pixel k (0 <= k < eh / 2) from the
// top is asked about; pixel column j of the box is inside when its centre
// (j + 0.5, k + 0.5) lies inside or on the ellipse:
//   (2j + 1 - ew)^2 eh^2 + (2k + 1 - eh)^2 ew^2 <= ew^2 eh^2.
// The answer is the smallest such j, worked out in exact integers.
int64_t EllipseInset(int64_t ew, int64_t eh, int64_t k) {
  using I128 = Int128;
  const I128 dy = eh - 2 * k - 1;
  const I128 rhs = static_cast<I128>(ew) * ew * (static_cast<I128>(eh) * eh - dy * dy);
  const I128 eh2 = static_cast<I128>(eh) * eh;
  // u = ew - 2j - 1 is the doubled distance of the pixel centre from the
  // middle column; find the largest u with u^2 eh^2 <= rhs.
  int64_t u = static_cast<int64_t>(std::sqrt(static_cast<long double>(rhs)) / eh);
  while (u > 0 && static_cast<I128>(u) * u * eh2 > rhs) --u;
  while (static_cast<I128>(u + 1) * (u + 1) * eh2 <= rhs) ++u;
  const int64_t twice = ew - 1 - u;  // 2j at the least; j is its half rounded up
  if (twice <= 0) return 0;
  return (twice + 1) / 2;
}

}  // namespace

Region::Region(const Rect& bounds) : bounds_(bounds) {
  if (bounds.IsEmpty()) {
    bounds_ = {};
    return;
  }
  rows_.resize(static_cast<size_t>(bounds.Height()));
}

Region Region::FromRect(const Rect& r, const Rect& bounds) {
  Region region(bounds);
  region.AddRect(r);
  return region;
}

Region Region::FromRoundRect(const Rect& r, int ellipseW, int ellipseH, const Rect& bounds) {
  Region region(bounds);
  if (r.IsEmpty() || region.rows_.empty()) return region;
  const int64_t w = static_cast<int64_t>(r.right) - r.left;
  const int64_t h = static_cast<int64_t>(r.bottom) - r.top;
  // Ellipses beyond 2^30 pixels are out of any view's reach; the cap keeps
  // the exact arithmetic inside 128 bits.
  constexpr int64_t kMaxEllipse = int64_t{1} << 30;
  const int64_t ew = std::min({w, std::abs(static_cast<int64_t>(ellipseW)), kMaxEllipse});
  const int64_t eh = std::min({h, std::abs(static_cast<int64_t>(ellipseH)), kMaxEllipse});
  if (ew < 2 || eh < 2) {
    region.AddRect(r);
    return region;
  }
  const int64_t corner = eh / 2;  // rows of each corner, top and bottom
  const int y0 = std::max(r.top, region.bounds_.top);
  const int y1 = std::min(r.bottom, region.bounds_.bottom);
  for (int y = y0; y < y1; ++y) {
    const int64_t fromTop = static_cast<int64_t>(y) - r.top;
    const int64_t fromBottom = h - 1 - fromTop;
    const int64_t k = std::min(fromTop, fromBottom);
    const int64_t inset = k < corner ? EllipseInset(ew, eh, k) : 0;
    const int x0 = ClampToInt(r.left + inset, region.bounds_.left, region.bounds_.right);
    const int x1 = ClampToInt(r.right - inset, region.bounds_.left, region.bounds_.right);
    region.AddSpan(y - region.bounds_.top, x0, x1);
  }
  return region;
}

Region Region::FromPolygon(std::span<const Point> points, const Rect& bounds) {
  Region region(bounds);
  if (points.size() < 3 || region.rows_.empty()) return region;

  // Non-horizontal edges, top end first, with the direction they run in.
  struct Edge {
    int64_t x0, y0, x1, y1;
    int dir;
  };
  std::vector<Edge> edges;
  edges.reserve(points.size());
  int64_t minY = INT64_MAX, maxY = INT64_MIN;
  for (size_t i = 0; i < points.size(); ++i) {
    const Point& a = points[i];
    const Point& b = points[(i + 1) % points.size()];
    if (a.y == b.y) continue;
    if (a.y < b.y) {
      edges.push_back({a.x, a.y, b.x, b.y, +1});
    } else {
      edges.push_back({b.x, b.y, a.x, a.y, -1});
    }
    minY = std::min<int64_t>(minY, std::min(a.y, b.y));
    maxY = std::max<int64_t>(maxY, std::max(a.y, b.y));
  }
  if (edges.empty()) return region;

  const int yStart = ClampToInt(minY, region.bounds_.top, region.bounds_.bottom);
  const int yEnd = ClampToInt(maxY, region.bounds_.top, region.bounds_.bottom);
  struct Crossing {
    int x;  // first column whose centre lies at or right of the edge
    int dir;
  };
  std::vector<Crossing> crossings;
  for (int y = yStart; y < yEnd; ++y) {
    crossings.clear();
    for (const Edge& e : edges) {
      // The row's centre line y + 0.5 meets the edge when y0 <= y < y1.
      if (y < e.y0 || y >= e.y1) continue;
      // The edge meets the centre line at X; the first column whose centre
      // is at or right of X is ceil(X - 0.5) = ceil(P / 2D) with
      // P = (2X - 1) D, in exact integers.
      const Int128 d = e.y1 - e.y0;
      const Int128 p =
          (2 * static_cast<Int128>(e.x0) - 1) * d + (2 * (y - e.y0) + 1) * static_cast<Int128>(e.x1 - e.x0);
      const Int128 q = 2 * d;
      Int128 c = p / q;
      if (p % q != 0 && p > 0) ++c;  // division truncates; round up
      const int64_t c64 = static_cast<int64_t>(std::clamp<Int128>(c, INT32_MIN, INT32_MAX));
      crossings.push_back({ClampToInt(c64, region.bounds_.left, region.bounds_.right), e.dir});
    }
    std::sort(crossings.begin(), crossings.end(),
              [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
    int winding = 0;
    int start = 0;
    for (const Crossing& c : crossings) {
      const int before = winding;
      winding += c.dir;
      if (before == 0 && winding != 0) {
        start = c.x;
      } else if (before != 0 && winding == 0) {
        region.AddSpan(y - region.bounds_.top, start, c.x);
      }
    }
  }
  return region;
}

void Region::AddSpan(int i, int x0, int x1) {
  if (x1 <= x0) return;
  Row& row = rows_[static_cast<size_t>(i)];
  if (row.empty()) {
    row.reserve(8);  // rows built from many rectangles grow without early copies
    row.push_back({x0, x1});
    return;
  }
  if (x0 > row.back().x1) {
    row.push_back({x0, x1});
    return;
  }
  if (x0 >= row.back().x0) {  // meets the last span only
    row.back().x1 = std::max(row.back().x1, x1);
    return;
  }
  // The spans that overlap or touch [x0, x1) are [first, last). Short rows,
  // the usual case, are searched faster by a plain walk than by halving.
  constexpr size_t kShortRow = 16;
  Row::iterator first, last;
  if (row.size() <= kShortRow) {
    first = row.begin();
    while (first->x1 < x0) ++first;  // stops at the last span at the latest
    last = first;
    while (last != row.end() && last->x0 <= x1) ++last;
  } else {
    first = std::lower_bound(row.begin(), row.end(), x0,
                             [](const Span& s, int x) { return s.x1 < x; });
    last = std::upper_bound(first, row.end(), x1, [](int x, const Span& s) { return x < s.x0; });
  }
  if (first == last) {
    row.insert(first, {x0, x1});
    return;
  }
  first->x0 = std::min(first->x0, x0);
  first->x1 = std::max((last - 1)->x1, x1);
  row.erase(first + 1, last);
}

void Region::Clear() {
  for (Row& row : rows_) row.clear();
}

void Region::AddRect(const Rect& r) {
  const Rect c = r.Intersect(bounds_);
  if (c.IsEmpty()) return;
  for (int y = c.top; y < c.bottom; ++y) AddSpan(y - bounds_.top, c.left, c.right);
}

namespace {

// Calls op(mine, theirs) for every row of `self` with the other region's
// row at the same y (cut to self's columns; empty where it has none).
template <typename Op>
void ForRowPairs(std::vector<Row>& rows, const Rect& bounds, const Region& other, Op op) {
  Row cut;
  const bool sameColumns =
      other.Bounds().left >= bounds.left && other.Bounds().right <= bounds.right;
  for (size_t i = 0; i < rows.size(); ++i) {
    std::span<const Span> theirs = other.RowSpans(bounds.top + static_cast<int>(i));
    if (!sameColumns && !theirs.empty()) {
      CutRow(theirs, bounds.left, bounds.right, cut);
      theirs = cut;
    }
    op(rows[i], theirs);
  }
}

}  // namespace

void Region::Union(const Region& other) {
  Row out;
  ForRowPairs(rows_, bounds_, other, [&out](Row& mine, std::span<const Span> theirs) {
    if (theirs.empty()) return;
    if (mine.empty()) {
      mine.assign(theirs.begin(), theirs.end());
      return;
    }
    UnionRows(mine, theirs, out);
    mine.swap(out);
  });
}

void Region::Intersect(const Region& other) {
  Row out;
  ForRowPairs(rows_, bounds_, other, [&out](Row& mine, std::span<const Span> theirs) {
    if (mine.empty()) return;
    if (theirs.empty()) {
      mine.clear();
      return;
    }
    IntersectRows(mine, theirs, out);
    mine.swap(out);
  });
}

void Region::Xor(const Region& other) {
  Row out;
  ForRowPairs(rows_, bounds_, other, [&out](Row& mine, std::span<const Span> theirs) {
    if (theirs.empty()) return;
    if (mine.empty()) {
      mine.assign(theirs.begin(), theirs.end());
      return;
    }
    XorRows(mine, theirs, out);
    mine.swap(out);
  });
}

bool Region::IsEmpty() const {
  return std::all_of(rows_.begin(), rows_.end(), [](const Row& r) { return r.empty(); });
}

bool Region::Contains(int x, int y) const {
  const std::span<const Span> row = RowSpans(y);
  auto it = std::upper_bound(row.begin(), row.end(), x,
                             [](int v, const Span& s) { return v < s.x0; });
  return it != row.begin() && x < (it - 1)->x1;
}

std::span<const Span> Region::RowSpans(int y) const {
  if (y < bounds_.top || y >= bounds_.bottom) return {};
  return rows_[static_cast<size_t>(y - bounds_.top)];
}

Rect Region::Extent() const {
  Rect e{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  bool any = false;
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].empty()) continue;
    const int y = bounds_.top + static_cast<int>(i);
    if (!any) e.top = y;
    any = true;
    e.bottom = y + 1;
    e.left = std::min(e.left, rows_[i].front().x0);
    e.right = std::max(e.right, rows_[i].back().x1);
  }
  return any ? e : Rect{};
}

int64_t Region::Area() const {
  int64_t area = 0;
  for (const Row& row : rows_)
    for (const Span& s : row) area += s.x1 - s.x0;
  return area;
}

bool operator==(const Region& a, const Region& b) {
  if (a.bounds_ == b.bounds_) return a.rows_ == b.rows_;
  const int top = std::min(a.bounds_.top, b.bounds_.top);
  const int bottom = std::max(a.bounds_.bottom, b.bounds_.bottom);
  for (int y = top; y < bottom; ++y) {
    const std::span<const Span> ra = a.RowSpans(y);
    const std::span<const Span> rb = b.RowSpans(y);
    if (!std::equal(ra.begin(), ra.end(), rb.begin(), rb.end())) return false;
  }
  return true;
}

}  // namespace ls
