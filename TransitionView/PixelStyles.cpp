// Pixel styles (118 to 122): the fade and the four pivots compute the frame's
// pixels themselves, over the old image already in the frame.
//
// Both touch every pixel of every frame, so they are the hot paths of the
// catalogue: the fade runs four pixels at a time with an exact
// multiply-and-shift in place of the division by 100, and the pivot walks
// each row with fixed-point coordinates instead of two products per pixel.

#include "TransitionView/PixelStyles.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>

#include "TransitionView/StyleCatalogue.h"
#include "platform/graphics/Draw.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace ls {
namespace {

// x div 100 for 0 <= x <= 25500 (the largest f * (100 - p) + n * p) as
// (x * 41944) >> 22: 41944 * 100 - 2^22 = 96, and 25500 * 96 < 2^22 keeps the
// error below one step of the quotient.
constexpr uint32_t kDiv100Multiplier = 41944;
constexpr int kDiv100Shift = 22;

inline uint32_t Blend(uint32_t f, uint32_t n, uint32_t p) {
  return (f * (100 - p) + n * p) / 100;
}

void FadeTail(Pixel* frame, const Pixel* old, const Pixel* fresh, int from, int count, int p) {
  const uint32_t up = static_cast<uint32_t>(p);
  for (int i = from; i < count; ++i) {
    const Pixel f = old[i], n = fresh[i];
    frame[i] = Blend(f & 0xFF, n & 0xFF, up) | Blend((f >> 8) & 0xFF, (n >> 8) & 0xFF, up) << 8 |
               Blend((f >> 16) & 0xFF, (n >> 16) & 0xFF, up) << 16;
  }
}

#if defined(__x86_64__) || defined(__i386__)
// Eight pixels at a time where the processor has AVX2 (checked at run time).
__attribute__((target("avx2"))) void FadeRowAvx2(Pixel* frame, const Pixel* old,
                                                 const Pixel* fresh, int count, int p) {
  // Byte pairs (f, n) times (100 - p, p), summed per pair by one
  // multiply-add; both weights fit a signed byte and the sums 16 bits.
  const __m256i weights = _mm256_set1_epi16(static_cast<int16_t>((p << 8) | (100 - p)));
  const __m256i magic = _mm256_set1_epi16(static_cast<int16_t>(kDiv100Multiplier));
  const __m256i colourBytes = _mm256_set1_epi32(0x00FFFFFF);
  // Whole frames are larger than the caches: the blended pixels go straight
  // to memory (streaming stores need 32-byte alignment, so the row's first
  // few pixels are done one by one).
  int i = 0;
  while (i < count && (reinterpret_cast<uintptr_t>(frame + i) & 31) != 0) ++i;
  FadeTail(frame, old, fresh, 0, i, p);
  for (; i + 8 <= count; i += 8) {
    const __m256i f = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(old + i));
    const __m256i n = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(fresh + i));
    // Unpacking and packing work within each 128-bit half alike, so the
    // pixels come back in their places.
    __m256i lo = _mm256_maddubs_epi16(_mm256_unpacklo_epi8(f, n), weights);
    __m256i hi = _mm256_maddubs_epi16(_mm256_unpackhi_epi8(f, n), weights);
    lo = _mm256_srli_epi16(_mm256_mulhi_epu16(lo, magic), kDiv100Shift - 16);
    hi = _mm256_srli_epi16(_mm256_mulhi_epu16(hi, magic), kDiv100Shift - 16);
    const __m256i out = _mm256_and_si256(_mm256_packus_epi16(lo, hi), colourBytes);
    _mm256_stream_si256(reinterpret_cast<__m256i*>(frame + i), out);
  }
  _mm_sfence();
  FadeTail(frame, old, fresh, i, count, p);
}

bool avx2Allowed = true;

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has && avx2Allowed;
}
#endif

void FadeRow(Pixel* frame, const Pixel* old, const Pixel* fresh, int count, int p) {
#if defined(__x86_64__) || defined(__i386__)
  if (HasAvx2()) {
    FadeRowAvx2(frame, old, fresh, count, p);
    return;
  }
#endif
  int i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i keep = _mm_set1_epi16(static_cast<int16_t>(100 - p));
  const __m128i take = _mm_set1_epi16(static_cast<int16_t>(p));
  const __m128i magic = _mm_set1_epi16(static_cast<int16_t>(kDiv100Multiplier));
  const __m128i colourBytes = _mm_set1_epi32(0x00FFFFFF);
  for (; i + 4 <= count; i += 4) {
    const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(old + i));
    const __m128i n = _mm_loadu_si128(reinterpret_cast<const __m128i*>(fresh + i));
    __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(f, zero), keep),
                               _mm_mullo_epi16(_mm_unpacklo_epi8(n, zero), take));
    __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(f, zero), keep),
                               _mm_mullo_epi16(_mm_unpackhi_epi8(n, zero), take));
    lo = _mm_srli_epi16(_mm_mulhi_epu16(lo, magic), kDiv100Shift - 16);
    hi = _mm_srli_epi16(_mm_mulhi_epu16(hi, magic), kDiv100Shift - 16);
    const __m128i out = _mm_and_si128(_mm_packus_epi16(lo, hi), colourBytes);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(frame + i), out);
  }
#endif
  FadeTail(frame, old, fresh, i, count, p);
}

// Fixed-point walk of the pivot's source coordinates along a row: a value v
// is held as v * 2^32. Over a row of a few thousand steps the accumulated
// error stays below 1e-6 pixel, so the walk rounds as the double formula does
// wherever the value is not within kNearHalf of a half; there the double
// formula itself decides.
constexpr int kFraction = 32;
constexpr int64_t kHalf = int64_t{1} << (kFraction - 1);
constexpr uint32_t kNearHalf = 1u << 16;  // 2^-16 pixel, far above the walk's error

inline bool NearHalf(int64_t v) {
  return static_cast<uint32_t>(static_cast<uint64_t>(v) - static_cast<uint64_t>(kHalf) +
                               kNearHalf) < 2 * kNearHalf;
}

inline int RoundFixed(int64_t v) { return static_cast<int>((v + kHalf) >> kFraction); }

int64_t ToFixed(double v) { return std::llround(std::ldexp(v, kFraction)); }

struct PivotRow {
  double c, s;         // cos and sin of the angle
  int cx, cy;          // pivot
  double dy;           // row - cy
  int64_t x0, y0;      // fixed-point source coordinates at column 0, pivot added
  int64_t stepX, stepY;

  // The exact double formula for column k.
  void Exact(int k, int& sx, int& sy) const {
    const double dx = k - cx;
    sx = static_cast<int>(std::nearbyint(dx * c - dy * s)) + cx;
    sy = static_cast<int>(std::nearbyint(dx * s + dy * c)) + cy;
  }
  void At(int k, int& sx, int& sy) const {
    const int64_t vx = x0 + k * stepX, vy = y0 + k * stepY;
    if (NearHalf(vx) || NearHalf(vy)) {
      Exact(k, sx, sy);
      return;
    }
    sx = RoundFixed(vx);
    sy = RoundFixed(vy);
  }
  // The first column in [0, n] whose coordinate (x or y) reaches `limit`;
  // both coordinates are non-decreasing along a row since cos, sin >= 0.
  int FirstReaching(int n, bool xAxis, int limit) const {
    int lo = 0, hi = n;
    while (lo < hi) {
      const int mid = lo + (hi - lo) / 2;
      int sx, sy;
      At(mid, sx, sy);
      if ((xAxis ? sx : sy) >= limit)
        hi = mid;
      else
        lo = mid + 1;
    }
    return lo;
  }
};

}  // namespace

void FadeBlend(Bitmap& frame, const Bitmap& newImage, int p) {
  FadeBlend(frame, frame, newImage, p);
}

void AllowWideVectors(bool allowed) {
#if defined(__x86_64__) || defined(__i386__)
  avx2Allowed = allowed;
#else
  (void)allowed;
#endif
}

void FadeBlend(Bitmap& frame, const Bitmap& oldImage, const Bitmap& newImage, int p) {
  p = std::clamp(p, 0, 100);
  const int width = std::min({frame.Width(), oldImage.Width(), newImage.Width()});
  const int height = std::min({frame.Height(), oldImage.Height(), newImage.Height()});
  if (width <= 0) return;
  for (int y = 0; y < height; ++y)
    FadeRow(frame.Row(y), oldImage.Row(y), newImage.Row(y), width, p);
}

double PivotAngle(int p) { return (100 - p) * std::numbers::pi / 200; }

namespace {

// Columns [k, k1) of one row, all with their source inside the new image.
void PivotRunScalar(const PivotRow& row, Pixel* out, const Pixel* source, int W, int64_t x0,
                    int64_t y0, int k, int k1) {
  int64_t vx = x0 + k * row.stepX, vy = y0 + k * row.stepY;
  for (; k < k1; ++k, vx += row.stepX, vy += row.stepY) {
    int sx, sy;
    if (NearHalf(vx) || NearHalf(vy)) [[unlikely]] {
      row.Exact(k, sx, sy);
    } else {
      sx = RoundFixed(vx);
      sy = RoundFixed(vy);
    }
    out[k] = source[static_cast<size_t>(sy) * W + sx];
  }
}

#if defined(__x86_64__) || defined(__i386__)
// Eight columns at a time: the fixed-point walk in 64-bit lanes, the source
// pixels fetched by one gather. A group with a coordinate near a half goes
// through the scalar path, which asks the double formula.
__attribute__((target("avx2"))) void PivotRunAvx2(const PivotRow& row, Pixel* out,
                                                  const Pixel* source, int W, int64_t x0,
                                                  int64_t y0, int k, int k1) {
  const __m256i stepX4 = _mm256_set1_epi64x(4 * row.stepX);
  const __m256i stepY4 = _mm256_set1_epi64x(4 * row.stepY);
  const __m256i stepX8 = _mm256_set1_epi64x(8 * row.stepX);
  const __m256i stepY8 = _mm256_set1_epi64x(8 * row.stepY);
  __m256i xa = _mm256_add_epi64(_mm256_set1_epi64x(x0 + k * row.stepX),
                                _mm256_setr_epi64x(0, row.stepX, 2 * row.stepX, 3 * row.stepX));
  __m256i ya = _mm256_add_epi64(_mm256_set1_epi64x(y0 + k * row.stepY),
                                _mm256_setr_epi64x(0, row.stepY, 2 * row.stepY, 3 * row.stepY));
  __m256i xb = _mm256_add_epi64(xa, stepX4);
  __m256i yb = _mm256_add_epi64(ya, stepY4);
  const __m256i half = _mm256_set1_epi64x(kHalf);
  const __m256i nearBias = _mm256_set1_epi64x(int64_t{kNearHalf} - kHalf);
  const __m256i low32 = _mm256_set1_epi64x(0xFFFFFFFFll);
  const __m256i nearLimit = _mm256_set1_epi64x(2 * int64_t{kNearHalf});
  const __m256i lowHalves = _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6);
  const __m256i width = _mm256_set1_epi32(W);
// A lane whose low 32 bits (the fraction) lie within kNearHalf of a half.
#define LS_NEAR_HALF(v) \
  _mm256_cmpgt_epi64(nearLimit, _mm256_and_si256(_mm256_add_epi64(v, nearBias), low32))
// Eight rounded 32-bit results from two registers of four 64-bit lanes.
#define LS_ROUNDED(a, b)                                                                      \
  _mm256_blend_epi32(                                                                         \
      _mm256_permutevar8x32_epi32(_mm256_srli_epi64(_mm256_add_epi64(a, half), 32), lowHalves), \
      _mm256_permutevar8x32_epi32(_mm256_srli_epi64(_mm256_add_epi64(b, half), 32), lowHalves), \
      0xF0)
  for (; k + 8 <= k1; k += 8) {
    const __m256i anyNear = _mm256_or_si256(_mm256_or_si256(LS_NEAR_HALF(xa), LS_NEAR_HALF(xb)),
                                            _mm256_or_si256(LS_NEAR_HALF(ya), LS_NEAR_HALF(yb)));
    if (!_mm256_testz_si256(anyNear, anyNear)) [[unlikely]] {
      PivotRunScalar(row, out, source, W, x0, y0, k, k + 8);
    } else {
      const __m256i index =
          _mm256_add_epi32(_mm256_mullo_epi32(LS_ROUNDED(ya, yb), width), LS_ROUNDED(xa, xb));
      const __m256i pixels =
          _mm256_i32gather_epi32(reinterpret_cast<const int*>(source), index, 4);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k), pixels);
    }
    xa = _mm256_add_epi64(xa, stepX8);
    xb = _mm256_add_epi64(xb, stepX8);
    ya = _mm256_add_epi64(ya, stepY8);
    yb = _mm256_add_epi64(yb, stepY8);
  }
  PivotRunScalar(row, out, source, W, x0, y0, k, k1);
}
#undef LS_NEAR_HALF
#undef LS_ROUNDED
#endif

void PivotRun(const PivotRow& row, Pixel* out, const Pixel* source, int W, int64_t x0,
              int64_t y0, int k0, int k1) {
#if defined(__x86_64__) || defined(__i386__)
  if (HasAvx2()) {
    PivotRunAvx2(row, out, source, W, x0, y0, k0, k1);
    return;
  }
#endif
  PivotRunScalar(row, out, source, W, x0, y0, k0, k1);
}

// `oldImage` null: pixels without a source keep what the frame holds.
void Pivot(Bitmap& frame, const Bitmap* oldImage, const Bitmap& newImage, int cx, int cy,
           double theta) {
  const int W = newImage.Width(), H = newImage.Height();
  if (W <= 0 || H <= 0 || frame.Width() != W || frame.Height() != H) return;
  if (oldImage && (oldImage->Width() != W || oldImage->Height() != H)) return;
  PivotRow row;
  row.c = std::cos(theta);
  row.s = std::sin(theta);
  row.cx = cx;
  row.cy = cy;
  row.stepX = ToFixed(row.c);
  row.stepY = ToFixed(row.s);
  if (row.c < 0 || row.s < 0) {  // outside a quarter turn the walk is not monotone
    if (oldImage) DrawWhole(frame, *oldImage);
    for (int y = 0; y < H; ++y) {
      row.dy = y - cy;
      Pixel* out = frame.Row(y);
      for (int k = 0; k < W; ++k) {
        int sx, sy;
        row.Exact(k, sx, sy);
        if (sx >= 0 && sx < W && sy >= 0 && sy < H) out[k] = newImage.At(sx, sy);
      }
    }
    return;
  }
  // Row by row, in memory order: the source reads of neighbouring rows fall
  // on neighbouring lines, which the caches and the prefetcher serve well
  // (tiling the frame was measured slower).
  const Pixel* source = newImage.Data();
  for (int y = 0; y < H; ++y) {
    row.dy = y - cy;
    const double dx0 = -cx;
    row.x0 = ToFixed(dx0 * row.c - row.dy * row.s) + (int64_t{cx} << kFraction);
    row.y0 = ToFixed(dx0 * row.s + row.dy * row.c) + (int64_t{cy} << kFraction);
    // The columns whose source lies inside the new image form one run, as
    // both coordinates grow along a row.
    const int lo = std::max(row.FirstReaching(W, true, 0), row.FirstReaching(W, false, 0));
    const int hi = std::min(row.FirstReaching(W, true, W), row.FirstReaching(W, false, H));
    Pixel* out = frame.Row(y);
    if (oldImage) {  // the old image where the turned new one does not reach
      const Pixel* from = oldImage->Row(y);
      const int a = std::clamp(lo, 0, W), b = std::clamp(hi, a, W);
      std::memcpy(out, from, static_cast<size_t>(a) * sizeof(Pixel));
      std::memcpy(out + b, from + b, static_cast<size_t>(W - b) * sizeof(Pixel));
    }
    if (lo < hi) PivotRun(row, out, source, W, row.x0, row.y0, lo, hi);
  }
}

}  // namespace

void PivotRotate(Bitmap& frame, const Bitmap& newImage, int cx, int cy, double theta) {
  Pivot(frame, nullptr, newImage, cx, cy, theta);
}

void PivotRotate(Bitmap& frame, const Bitmap& oldImage, const Bitmap& newImage, int cx, int cy,
                 double theta) {
  Pivot(frame, &oldImage, newImage, cx, cy, theta);
}

void FadeStyle(int, const FrameExtents& e, Bitmap& screen, const Bitmap& newImage,
               const Bitmap* oldImage) {
  FadeBlend(screen, oldImage ? *oldImage : screen, newImage, e.p);
}

// The new image swings in about a point just outside the named corner.
void PivotStyle(int style, const FrameExtents& e, Bitmap& screen, const Bitmap& newImage,
                const Bitmap* oldImage) {
  static constexpr struct {
    bool right, bottom;
  } kCorner[] = {{false, false}, {false, true}, {true, false}, {true, true}};  // 119..122
  const auto corner = kCorner[style - 119];
  const int cx = corner.right ? e.W : -1;
  const int cy = corner.bottom ? e.H : -1;
  if (oldImage)
    PivotRotate(screen, *oldImage, newImage, cx, cy, PivotAngle(e.p));
  else
    PivotRotate(screen, newImage, cx, cy, PivotAngle(e.p));
}

}  // namespace ls
