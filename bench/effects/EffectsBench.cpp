// The eight picture transforms on a 4096 x 4096 picture, single-threaded,
// each beside the floor: a plain in-place inversion of the same buffer,
// the least any pass over every byte can cost. The colour tables, noise
// and frosted glass also run on each narrower vector path the processor
// has, named NAME/avx2 and NAME/plain; the unsuffixed run takes the widest.
#include "effects/Transforms.h"
#include "platform/gdi/Vectors.h"
#include "plugin/Random.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int kSide = 4096;

gdi::Bitmap& Picture()
{
    static gdi::Bitmap picture = [] {
        gdi::Bitmap bitmap(kSide, kSide);
        std::uint32_t state = 2463534242u;
        for (int y = 0; y < kSide; ++y) {
            std::uint8_t* row = bitmap.scanLine(y);
            for (std::size_t i = 0; i < bitmap.stride(); ++i) {
                state ^= state << 13;
                state ^= state >> 17;
                state ^= state << 5;
                row[i] = static_cast<std::uint8_t>(state >> 24);
            }
        }
        return bitmap;
    }();
    return picture;
}

// A fresh copy of the picture for each run, outside the timing, for the
// transforms whose result feeds their next run badly (blocks and frost
// fill the picture; repeated noise saturates it).
class Fresh {
public:
    explicit Fresh(benchmark::State& state) : state_(state) {}
    gdi::Bitmap& take()
    {
        state_.PauseTiming();
        if (copy_.width() != kSide)
            copy_ = Picture();
        else
            std::memcpy(copy_.scanLine(0), Picture().scanLine(0), copy_.stride() * kSide);
        state_.ResumeTiming();
        return copy_;
    }

private:
    benchmark::State& state_;
    gdi::Bitmap copy_;
};

void Finish(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations() * std::int64_t(kSide) * kSide);
    state.SetBytesProcessed(state.iterations() * std::int64_t(kSide) * kSide * 3);
}

void BM_Floor_Invert(benchmark::State& state)
{
    gdi::Bitmap& picture = Picture();
    for (auto _ : state) {
        auto* words = reinterpret_cast<std::uint64_t*>(picture.scanLine(0));
        const std::size_t count = picture.stride() * kSide / 8;
        for (std::size_t i = 0; i < count; ++i)
            words[i] = ~words[i];
        benchmark::ClobberMemory();
    }
    Finish(state);
}

void BM_Negative(benchmark::State& state)
{
    for (auto _ : state) {
        zenvas::BitmapNegative(Picture());
        benchmark::ClobberMemory();
    }
    Finish(state);
}

void BM_Gamma(benchmark::State& state)
{
    for (auto _ : state) {
        zenvas::BitmapChangeGamma(Picture(), 0.7);
        benchmark::ClobberMemory();
    }
    Finish(state);
}

void BM_ChangeRGB(benchmark::State& state)
{
    int sign = 1;
    for (auto _ : state) {
        zenvas::BitmapChangeRGB(Picture(), 10 * sign, -10 * sign, 5 * sign);
        sign = -sign;
        benchmark::ClobberMemory();
    }
    Finish(state);
}

void BM_Monochrome(benchmark::State& state)
{
    Fresh fresh(state);
    for (auto _ : state) {
        zenvas::BitmapMonochrome(fresh.take(), gdi::Rgb(50, 10, 90));
        benchmark::ClobberMemory();
    }
    Finish(state);
}

void BM_MonoPixel2(benchmark::State& state)
{
    Fresh fresh(state);
    for (auto _ : state) {
        zenvas::BitmapMonoPixel(fresh.take(), 2, 2);
        benchmark::ClobberMemory();
    }
    Finish(state);
}

void BM_Block(benchmark::State& state)
{
    Fresh fresh(state);
    for (auto _ : state) {
        zenvas::BitmapBlock(fresh.take(), kSide / 50, kSide / 50, 5, 0xFFFFFF);
        benchmark::ClobberMemory();
    }
    Finish(state);
}

void BM_FrostGlass(benchmark::State& state)
{
    Fresh fresh(state);
    for (auto _ : state) {
        zenvas::BitmapFrostGlass(fresh.take(), 5, 5, 0xFFFFFF);
        benchmark::ClobberMemory();
    }
    Finish(state);
}

void BM_NoiseBlackAndWhite(benchmark::State& state)
{
    Fresh fresh(state);
    for (auto _ : state) {
        zenvas::BitmapAddNoise(fresh.take(), 100, true);
        benchmark::ClobberMemory();
    }
    Finish(state);
}

void BM_NoiseColoured(benchmark::State& state)
{
    Fresh fresh(state);
    for (auto _ : state) {
        zenvas::BitmapAddNoise(fresh.take(), 100, false);
        benchmark::ClobberMemory();
    }
    Finish(state);
}

// The colour tables and the other vector paths at each narrower vector level the processor has.
void RegisterNarrowerPaths(const char* name, void (*bench)(benchmark::State&))
{
    for (gdi::Vectors level : {gdi::Vectors::Avx2, gdi::Vectors::Plain}) {
        if (level >= gdi::MachineVectors())
            continue;
        benchmark::RegisterBenchmark((std::string(name) + "/" + gdi::VectorsName(level)).c_str(),
                                     [=](benchmark::State& state) {
                                         const gdi::Vectors saved = gdi::LimitVectors(level);
                                         bench(state);
                                         gdi::LimitVectors(saved);
                                     })
            ->Unit(benchmark::kMillisecond)
            ->MinTime(1.0);
    }
}

} // namespace

#define ZENVAS_EFFECT_BENCH(name) BENCHMARK(name)->Unit(benchmark::kMillisecond)->MinTime(1.0)
ZENVAS_EFFECT_BENCH(BM_Floor_Invert);
ZENVAS_EFFECT_BENCH(BM_Negative);
ZENVAS_EFFECT_BENCH(BM_Gamma);
ZENVAS_EFFECT_BENCH(BM_ChangeRGB);
ZENVAS_EFFECT_BENCH(BM_Monochrome);
ZENVAS_EFFECT_BENCH(BM_MonoPixel2);
ZENVAS_EFFECT_BENCH(BM_Block);
ZENVAS_EFFECT_BENCH(BM_FrostGlass);
ZENVAS_EFFECT_BENCH(BM_NoiseBlackAndWhite);
ZENVAS_EFFECT_BENCH(BM_NoiseColoured);

int main(int argc, char** argv)
{
    RegisterNarrowerPaths("BM_Gamma", BM_Gamma);
    RegisterNarrowerPaths("BM_ChangeRGB", BM_ChangeRGB);
    RegisterNarrowerPaths("BM_Monochrome", BM_Monochrome);
    RegisterNarrowerPaths("BM_MonoPixel2", BM_MonoPixel2);
    RegisterNarrowerPaths("BM_FrostGlass", BM_FrostGlass);
    RegisterNarrowerPaths("BM_NoiseBlackAndWhite", BM_NoiseBlackAndWhite);
    RegisterNarrowerPaths("BM_NoiseColoured", BM_NoiseColoured);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    std::printf("vector level: %s\n", gdi::VectorsName(gdi::MachineVectors()));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
