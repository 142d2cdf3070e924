#pragma once
// Exact signed 128-bit integers for the region rasterisers, whose products of
// two 64-bit coordinates must not overflow. Compilers for 64-bit targets have
// a native type; 32-bit targets (i686 Windows) get PortableInt128, which gives
// the same results, so regions are the same pixels on every build.

#include <cstdint>

namespace ls {

// Two's complement in two 64-bit halves. Only what the rasterisers use:
// + - * / % and comparisons; division truncates toward zero (as C++ does).
class PortableInt128 {
 public:
  constexpr PortableInt128() = default;
  constexpr PortableInt128(int64_t v)  // NOLINT: converts like a built-in integer
      : hi_(v < 0 ? ~uint64_t{0} : 0), lo_(static_cast<uint64_t>(v)) {}

  explicit constexpr operator int64_t() const { return static_cast<int64_t>(lo_); }
  explicit operator long double() const {
    if (Negative()) return -static_cast<long double>(Negate(*this));
    return static_cast<long double>(hi_) * 18446744073709551616.0L + static_cast<long double>(lo_);
  }

  friend constexpr PortableInt128 operator+(PortableInt128 a, PortableInt128 b) {
    PortableInt128 r;
    r.lo_ = a.lo_ + b.lo_;
    r.hi_ = a.hi_ + b.hi_ + (r.lo_ < a.lo_ ? 1 : 0);
    return r;
  }
  friend constexpr PortableInt128 operator-(PortableInt128 a, PortableInt128 b) { return a + Negate(b); }
  friend constexpr PortableInt128 operator*(PortableInt128 a, PortableInt128 b) {
    // The low 128 bits of the product are the same for signed and unsigned.
    PortableInt128 r = MulWide(a.lo_, b.lo_);
    r.hi_ += a.hi_ * b.lo_ + a.lo_ * b.hi_;
    return r;
  }
  friend constexpr PortableInt128 operator/(PortableInt128 a, PortableInt128 b) {
    PortableInt128 q, rem;
    DivMod(a, b, q, rem);
    return q;
  }
  friend constexpr PortableInt128 operator%(PortableInt128 a, PortableInt128 b) {
    PortableInt128 q, rem;
    DivMod(a, b, q, rem);
    return rem;
  }
  PortableInt128& operator+=(PortableInt128 b) { return *this = *this + b; }
  PortableInt128& operator-=(PortableInt128 b) { return *this = *this - b; }
  PortableInt128& operator++() { return *this += 1; }
  PortableInt128& operator--() { return *this -= 1; }

  friend constexpr bool operator==(PortableInt128 a, PortableInt128 b) {
    return a.hi_ == b.hi_ && a.lo_ == b.lo_;
  }
  friend constexpr bool operator!=(PortableInt128 a, PortableInt128 b) { return !(a == b); }
  friend constexpr bool operator<(PortableInt128 a, PortableInt128 b) {
    const auto ah = static_cast<int64_t>(a.hi_), bh = static_cast<int64_t>(b.hi_);
    return ah != bh ? ah < bh : a.lo_ < b.lo_;
  }
  friend constexpr bool operator>(PortableInt128 a, PortableInt128 b) { return b < a; }
  friend constexpr bool operator<=(PortableInt128 a, PortableInt128 b) { return !(b < a); }
  friend constexpr bool operator>=(PortableInt128 a, PortableInt128 b) { return !(a < b); }

 private:
  constexpr bool Negative() const { return (hi_ >> 63) != 0; }
  static constexpr PortableInt128 Negate(PortableInt128 a) {
    PortableInt128 r;
    r.lo_ = ~a.lo_ + 1;
    r.hi_ = ~a.hi_ + (r.lo_ == 0 ? 1 : 0);
    return r;
  }
  static constexpr PortableInt128 MulWide(uint64_t a, uint64_t b) {
    const uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32, b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
    const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const uint64_t middle = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
    PortableInt128 r;
    r.lo_ = (middle << 32) | (p00 & 0xFFFFFFFFu);
    r.hi_ = p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32);
    return r;
  }
  // Truncating division of the magnitudes, bit by bit; the signs follow C++.
  static constexpr void DivMod(PortableInt128 a, PortableInt128 b, PortableInt128& q,
                               PortableInt128& rem) {
    const bool negA = a.Negative(), negB = b.Negative();
    PortableInt128 n = negA ? Negate(a) : a, d = negB ? Negate(b) : b;
    PortableInt128 quotient, remainder;
    for (int bit = 127; bit >= 0; --bit) {
      remainder.hi_ = (remainder.hi_ << 1) | (remainder.lo_ >> 63);
      remainder.lo_ = (remainder.lo_ << 1) | ((bit >= 64 ? n.hi_ >> (bit - 64) : n.lo_ >> bit) & 1);
      if (!(remainder.hi_ < d.hi_ || (remainder.hi_ == d.hi_ && remainder.lo_ < d.lo_))) {
        remainder = remainder + Negate(d);
        if (bit >= 64)
          quotient.hi_ |= uint64_t{1} << (bit - 64);
        else
          quotient.lo_ |= uint64_t{1} << bit;
      }
    }
    q = negA != negB ? Negate(quotient) : quotient;
    rem = negA ? Negate(remainder) : remainder;
  }

  uint64_t hi_ = 0;
  uint64_t lo_ = 0;
};

#if defined(__SIZEOF_INT128__)
using Int128 = __int128;
#else
using Int128 = PortableInt128;
#endif

}  // namespace ls
