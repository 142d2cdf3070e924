#include "platform/graphics/Draw.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ls {

namespace {

void CopyPixels(Pixel* to, const Pixel* from, int count) {
  std::memcpy(to, from, static_cast<size_t>(count) * sizeof(Pixel));
}

// Which source index feeds each destination index along one axis.
//
// Destination index i of [0, |dstExtent|) lands on dstOrigin + i, or on
// dstOrigin - i when the extent is negative; it samples source index
// j = floor((2i + 1) |srcExtent| / (2 |dstExtent|)), the source pixel under
// the centre of the destination pixel, at srcOrigin + j (srcOrigin - j for a
// negative extent). Only the indices whose destination lies in [0, dstLen)
// and whose source lies in [0, srcLen) are kept: both are intervals of i and
// j grows with i, so the kept destination places form one interval [lo, hi).
struct AxisMap {
  int lo = 0;
  int hi = 0;
  std::vector<int> source;  // source[d - lo] for destination d in [lo, hi)
  bool shifted = false;     // source[k] == lo + k + shift for every k
  bool reversed = false;    // source[k] == shift - (lo + k) for every k
  int shift = 0;
  // Near-unity scales keep long runs of consecutive source pixels; those are
  // copied run by run. Filled only when the runs are long enough to pay.
  struct Run {
    int dst, src, len;
  };
  std::vector<Run> runs;

  bool Empty() const { return hi <= lo; }
};

AxisMap MapAxis(int dstOrigin, int dstExtent, int dstLen, int srcOrigin, int srcExtent,
                int srcLen) {
  AxisMap map;
  const int64_t n = dstExtent < 0 ? -static_cast<int64_t>(dstExtent) : dstExtent;
  const int64_t m = srcExtent < 0 ? -static_cast<int64_t>(srcExtent) : srcExtent;
  const int64_t d = dstOrigin;
  // Indices i whose destination lies inside [0, dstLen).
  int64_t iLo, iHi;
  if (dstExtent > 0) {
    iLo = std::max<int64_t>(0, -d);
    iHi = std::min<int64_t>(n, dstLen - d);
  } else {
    iLo = std::max<int64_t>(0, d - dstLen + 1);
    iHi = std::min<int64_t>(n, d + 1);
  }
  int64_t first = -1, last = -1;  // kept destination places, in index order
  std::vector<int> sources;
  sources.reserve(static_cast<size_t>(std::max<int64_t>(0, iHi - iLo)));
  for (int64_t i = iLo; i < iHi; ++i) {
    // (2i + 1) < 2^32 and m <= 2^31: the product fits 64 unsigned bits.
    const int64_t j = static_cast<int64_t>((2 * static_cast<uint64_t>(i) + 1) *
                                           static_cast<uint64_t>(m) /
                                           (2 * static_cast<uint64_t>(n)));
    const int64_t s = srcExtent > 0 ? srcOrigin + j : srcOrigin - j;
    if (s < 0 || s >= srcLen) {
      if (first >= 0) break;  // past the interval
      continue;
    }
    const int64_t place = dstExtent > 0 ? d + i : d - i;
    if (first < 0) first = place;
    last = place;
    sources.push_back(static_cast<int>(s));
  }
  if (first < 0) return map;
  if (dstExtent > 0) {
    map.lo = static_cast<int>(first);
    map.hi = static_cast<int>(last) + 1;
    map.source = std::move(sources);
  } else {
    map.lo = static_cast<int>(last);
    map.hi = static_cast<int>(first) + 1;
    map.source.assign(sources.rbegin(), sources.rend());
  }
  if (n == m) {
    map.shifted = (dstExtent > 0) == (srcExtent > 0);
    map.reversed = !map.shifted;
    map.shift = map.shifted ? map.source.front() - map.lo : map.source.front() + map.lo;
    return map;
  }
  constexpr int kMinMeanRun = 8;
  const int count = map.hi - map.lo;
  for (int k = 0; k < count; ++k) {
    const int s = map.source[static_cast<size_t>(k)];
    if (!map.runs.empty() && map.runs.back().src + map.runs.back().len == s) {
      ++map.runs.back().len;
    } else if (map.runs.size() * kMinMeanRun > static_cast<size_t>(count)) {
      map.runs.clear();  // too short on average already
      break;
    } else {
      map.runs.push_back({map.lo + k, s, 1});
    }
  }
  return map;
}

// Writes destination columns [x0, x1) of one row from its source row.
void CopyRowPart(Pixel* to, const Pixel* from, const AxisMap& cols, int x0, int x1) {
  if (cols.shifted) {
    CopyPixels(to + x0, from + x0 + cols.shift, x1 - x0);
    return;
  }
  if (cols.reversed) {
    int x = x0;
#if defined(__SSE2__)
    // Four pixels at a time, their order turned round in the register.
    for (; x + 4 <= x1; x += 4) {
      const __m128i v =
          _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + (cols.shift - x - 3)));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to + x), _mm_shuffle_epi32(v, 0x1B));
    }
#endif
    for (; x < x1; ++x) to[x] = from[cols.shift - x];
    return;
  }
  if (!cols.runs.empty()) {
    auto run = std::partition_point(cols.runs.begin(), cols.runs.end(),
                                    [x0](const AxisMap::Run& r) { return r.dst + r.len <= x0; });
    for (; run != cols.runs.end() && run->dst < x1; ++run) {
      const int a = std::max(run->dst, x0);
      const int b = std::min(run->dst + run->len, x1);
      CopyPixels(to + a, from + run->src + (a - run->dst), b - a);
    }
    return;
  }
  const int* src = cols.source.data() - cols.lo;
  for (int x = x0; x < x1; ++x) to[x] = from[src[x]];
}

}  // namespace

void DrawBitmap(Bitmap& dst, int x, int y, const Bitmap& src) {
  const int64_t right = std::min<int64_t>(static_cast<int64_t>(x) + src.Width(), dst.Width());
  const int64_t bottom = std::min<int64_t>(static_cast<int64_t>(y) + src.Height(), dst.Height());
  const Rect r{std::max(x, 0), std::max(y, 0), static_cast<int>(right), static_cast<int>(bottom)};
  if (r.IsEmpty()) return;
  for (int row = r.top; row < r.bottom; ++row)
    CopyPixels(dst.Row(row) + r.left, src.Row(row - y) + (r.left - x), r.Width());
}

void FillRect(Bitmap& dst, const Rect& r, Pixel colour) {
  const Rect c = r.Intersect(dst.Bounds());
  if (c.IsEmpty()) return;
  for (int y = c.top; y < c.bottom; ++y) std::fill_n(dst.Row(y) + c.left, c.Width(), colour);
}

void StretchCopy(Bitmap& dst, int dx, int dy, int dw, int dh, const Bitmap& src, int sx, int sy,
                 int sw, int sh, const Region* clip) {
  if (dw == 0 || dh == 0 || sw == 0 || sh == 0 || dst.IsEmpty() || src.IsEmpty()) return;
  const AxisMap cols = MapAxis(dx, dw, dst.Width(), sx, sw, src.Width());
  if (cols.Empty()) return;
  const AxisMap rows = MapAxis(dy, dh, dst.Height(), sy, sh, src.Height());
  if (rows.Empty()) return;

  int previousSource = -1;  // source row of the last row written whole
  for (int y = rows.lo; y < rows.hi; ++y) {
    const int sourceRow = rows.source[static_cast<size_t>(y - rows.lo)];
    Pixel* to = dst.Row(y);
    const Pixel* from = src.Row(sourceRow);
    if (clip) {
      for (const Span& s : clip->RowSpans(y)) {
        const int x0 = std::max(s.x0, cols.lo);
        const int x1 = std::min(s.x1, cols.hi);
        if (x0 < x1) CopyRowPart(to, from, cols, x0, x1);
      }
      continue;
    }
    if (sourceRow == previousSource && !cols.shifted) {
      // A repeated source row: the row above already holds its samples.
      CopyPixels(to + cols.lo, dst.Row(y - 1) + cols.lo, cols.hi - cols.lo);
      continue;
    }
    CopyRowPart(to, from, cols, cols.lo, cols.hi);
    previousSource = sourceRow;
  }
}

void DrawThroughRegion(Bitmap& dst, const Bitmap& src, const Region& region) {
  const Rect area = region.Bounds().Intersect(dst.Bounds()).Intersect(src.Bounds());
  for (int y = area.top; y < area.bottom; ++y) {
    Pixel* to = dst.Row(y);
    const Pixel* from = src.Row(y);
    for (const Span& s : region.RowSpans(y)) {
      const int x0 = std::max(s.x0, area.left);
      const int x1 = std::min(s.x1, area.right);
      if (x0 < x1) CopyPixels(to + x0, from + x0, x1 - x0);
    }
  }
}

}  // namespace ls
