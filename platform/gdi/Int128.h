#pragma once

#include <concepts>
#include <cstdint>

namespace gdi {

// 32-bit targets have no 128-bit type: two's-complement words with the few
// operations the drawing layer uses. Results wrap like the built-in type's.
class PortableUInt128 {
public:
    using Self = PortableUInt128;

    constexpr PortableUInt128() = default;
    template <std::integral T>
    constexpr PortableUInt128(T v) : hi_(v < 0 ? ~std::uint64_t(0) : 0), lo_(std::uint64_t(v)) // as the built-in
    {
    }
    static constexpr Self FromWords(std::uint64_t hi, std::uint64_t lo)
    {
        Self r;
        r.hi_ = hi;
        r.lo_ = lo;
        return r;
    }
    constexpr std::uint64_t high() const { return hi_; }
    constexpr std::uint64_t low() const { return lo_; }

    explicit constexpr operator std::uint64_t() const { return lo_; }
    explicit constexpr operator std::int64_t() const { return std::int64_t(lo_); }
    explicit operator long double() const { return (long double)hi_ * 18446744073709551616.0L + (long double)lo_; }

    friend constexpr Self operator+(Self a, Self b)
    {
        const std::uint64_t lo = a.lo_ + b.lo_;
        return FromWords(a.hi_ + b.hi_ + (lo < a.lo_ ? 1 : 0), lo);
    }
    friend constexpr Self operator-(Self a, Self b)
    {
        return FromWords(a.hi_ - b.hi_ - (a.lo_ < b.lo_ ? 1 : 0), a.lo_ - b.lo_);
    }
    friend constexpr Self operator*(Self a, Self b)
    {
        Self r = MultiplyWords(a.lo_, b.lo_);
        r.hi_ += a.hi_ * b.lo_ + a.lo_ * b.hi_;
        return r;
    }
    // Quotient and remainder by shifting and subtracting, one bit at a time.
    static constexpr void DivMod(Self n, Self d, Self& q, Self& r)
    {
        q = Self();
        r = Self();
        for (int bit = 127; bit >= 0; --bit) {
            r = FromWords((r.hi_ << 1) | (r.lo_ >> 63), (r.lo_ << 1) | (n.bitAt(bit) ? 1 : 0));
            if (r >= d) {
                r = r - d;
                q.setBit(bit);
            }
        }
    }
    friend constexpr Self operator/(Self a, Self b)
    {
        Self q, r;
        DivMod(a, b, q, r);
        return q;
    }
    friend constexpr Self operator%(Self a, Self b)
    {
        Self q, r;
        DivMod(a, b, q, r);
        return r;
    }
    friend constexpr bool operator==(Self a, Self b) { return a.hi_ == b.hi_ && a.lo_ == b.lo_; }
    friend constexpr bool operator<(Self a, Self b) { return a.hi_ != b.hi_ ? a.hi_ < b.hi_ : a.lo_ < b.lo_; }
    friend constexpr bool operator>(Self a, Self b) { return b < a; }
    friend constexpr bool operator<=(Self a, Self b) { return !(b < a); }
    friend constexpr bool operator>=(Self a, Self b) { return !(a < b); }

private:
    static constexpr Self MultiplyWords(std::uint64_t a, std::uint64_t b)
    {
        const std::uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32, b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
        const std::uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
        const std::uint64_t middle = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
        return FromWords(p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32), (middle << 32) | (p00 & 0xFFFFFFFFu));
    }
    constexpr bool bitAt(int bit) const { return ((bit >= 64 ? hi_ >> (bit - 64) : lo_ >> bit) & 1) != 0; }
    constexpr void setBit(int bit)
    {
        if (bit >= 64)
            hi_ |= std::uint64_t(1) << (bit - 64);
        else
            lo_ |= std::uint64_t(1) << bit;
    }

    std::uint64_t hi_ = 0, lo_ = 0;
};

class PortableInt128 {
public:
    using Self = PortableInt128;

    constexpr PortableInt128() = default;
    template <std::integral T>
    constexpr PortableInt128(T v) : bits_(v) // converts implicitly, as the built-in type
    {
    }
    explicit constexpr operator std::int64_t() const { return std::int64_t(bits_.low()); }
    constexpr PortableUInt128 bits() const { return bits_; }

    friend constexpr Self operator+(Self a, Self b) { return Self(a.bits_ + b.bits_); }
    friend constexpr Self operator-(Self a, Self b) { return Self(a.bits_ - b.bits_); }
    friend constexpr Self operator*(Self a, Self b) { return Self(a.bits_ * b.bits_); }
    constexpr Self operator-() const { return Self() - *this; }
    constexpr Self& operator++() { return *this = *this + Self(1); }
    // Division truncates towards zero and the remainder takes the dividend's
    // sign, as with the built-in type.
    friend constexpr Self operator/(Self a, Self b)
    {
        const Self q(a.magnitude() / b.magnitude());
        return a.negative() != b.negative() ? -q : q;
    }
    friend constexpr Self operator%(Self a, Self b)
    {
        const Self r(a.magnitude() % b.magnitude());
        return a.negative() ? -r : r;
    }
    friend constexpr bool operator==(Self a, Self b) { return a.bits_ == b.bits_; }
    friend constexpr bool operator<(Self a, Self b)
    {
        return a.negative() != b.negative() ? a.negative() : a.bits_ < b.bits_;
    }
    friend constexpr bool operator>(Self a, Self b) { return b < a; }
    friend constexpr bool operator<=(Self a, Self b) { return !(b < a); }
    friend constexpr bool operator>=(Self a, Self b) { return !(a < b); }

private:
    explicit constexpr PortableInt128(PortableUInt128 bits) : bits_(bits) {}
    constexpr bool negative() const { return (bits_.high() >> 63) != 0; }
    constexpr PortableUInt128 magnitude() const { return negative() ? PortableUInt128() - bits_ : bits_; }

    PortableUInt128 bits_;
};

// 128-bit intermediates for products of 64-bit coordinates.
#if defined(__SIZEOF_INT128__)
__extension__ typedef __int128 Int128;
__extension__ typedef unsigned __int128 UInt128;
#else
using Int128 = PortableInt128;
using UInt128 = PortableUInt128;
#endif

} // namespace gdi
