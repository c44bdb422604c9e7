#include "platform/gdi/Int128.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

// The 32-bit targets' 128-bit integer against the built-in one, on edges and
// random operands of the sizes the drawing layer multiplies and divides.
namespace {

using gdi::PortableInt128;
using gdi::PortableUInt128;
__extension__ typedef __int128 Built;
__extension__ typedef unsigned __int128 UBuilt;

UBuilt Widen(PortableUInt128 v)
{
    return (UBuilt(v.high()) << 64) | v.low();
}

Built Widen(PortableInt128 v)
{
    return Built(Widen(v.bits()));
}

std::vector<std::int64_t> Operands()
{
    std::vector<std::int64_t> values = {0, 1, -1, 2, -2, 3, 7, -7, INT32_MAX, INT32_MIN, std::int64_t(UINT32_MAX),
                                        INT64_MAX, INT64_MIN, INT64_MAX - 1, INT64_MIN + 1};
    std::mt19937_64 random(12345);
    for (int i = 0; i < 60; ++i) {
        const int bits = 1 + int(random() % 63);
        const std::int64_t v = std::int64_t(random() >> (64 - bits));
        values.push_back(i % 2 ? v : -v);
    }
    return values;
}

TEST(PortableInt128, SignedArithmeticMatchesTheBuiltInType)
{
    const std::vector<std::int64_t> values = Operands();
    for (std::int64_t a : values) {
        for (std::int64_t b : values) {
            // Products of two 64-bit values, then the sums and quotients the
            // drawing layer takes of them.
            const PortableInt128 p = PortableInt128(a) * b;
            const Built q = Built(a) * b;
            ASSERT_EQ(Widen(p), q) << a << " * " << b;
            EXPECT_EQ(Widen(p + a - b), q + a - b) << a << ", " << b;
            EXPECT_EQ(Widen(-p), -q);
            EXPECT_EQ(p < PortableInt128(b), q < b) << a << ", " << b;
            EXPECT_EQ(p == PortableInt128(0), q == 0);
            if (b != 0) {
                EXPECT_EQ(Widen(p / b), q / b) << a << " * " << b << " / " << b;
                EXPECT_EQ(Widen((p + 1) / b), (q + 1) / b) << a << ", " << b;
                EXPECT_EQ(Widen((p + a) % b), (q + a) % b) << a << ", " << b;
                EXPECT_EQ(std::int64_t(PortableInt128(a) / b), std::int64_t(Built(a) / b));
            }
        }
    }
    PortableInt128 n = -1;
    EXPECT_EQ(Widen(++n), 0);
}

TEST(PortableInt128, UnsignedSquaresAndComparisonsMatchTheBuiltInType)
{
    for (std::int64_t signedA : Operands()) {
        const std::uint64_t a = std::uint64_t(signedA);
        const PortableUInt128 square = PortableUInt128(a) * a;
        ASSERT_EQ(Widen(square), UBuilt(a) * a) << a;
        const std::uint64_t b = a / 3 + 1;
        const PortableUInt128 other = PortableUInt128(b) * b;
        EXPECT_EQ(Widen(square - other), UBuilt(a) * a - UBuilt(b) * b);
        EXPECT_EQ(Widen(square * (other - 1)), UBuilt(a) * a * (UBuilt(b) * b - 1));
        EXPECT_EQ(square <= other, UBuilt(a) * a <= UBuilt(b) * b);
        EXPECT_EQ(square > other, UBuilt(a) * a > UBuilt(b) * b);
        EXPECT_EQ(Widen(square / b), UBuilt(a) * a / b);
        EXPECT_NEAR(double((long double)square), double((long double)(UBuilt(a) * a)),
                    double((long double)(UBuilt(a) * a)) * 1e-15);
    }
}

} // namespace
