// Speed of the drawing layer on a 4096 x 4096 picture. Every figure is also
// reported as a multiple of the floor: a plain in-place inversion of the
// same 48 MiB buffer, timed in the same run. Pictures and buffers are made
// before timing starts; only the operation itself is timed.
#include "PhotoPicture.h"

#include "platform/gdi/Canvas.h"
#include "platform/gdi/Vectors.h"
#include "platform/gdi/codecs/Bmp.h"
#include "platform/gdi/codecs/Jpeg.h"
#include "platform/system/PosixIo.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kSide = 4096;
using Clock = std::chrono::steady_clock;

// The photograph-like picture, kept for every run.
gdi::Bitmap& Picture()
{
    static gdi::Bitmap picture = PhotoPicture(kSide);
    return picture;
}

void Invert(std::uint64_t* words, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        words[i] = ~words[i];
}

std::vector<std::uint64_t>& FloorBuffer()
{
    static std::vector<std::uint64_t> buffer(std::size_t(kSide) * kSide * 3 / 8, 0x0123456789ABCDEFull);
    return buffer;
}

double FloorSeconds()
{
    static const double floor = [] {
        auto& buf = FloorBuffer();
        double best = 1e9;
        for (int i = 0; i < 30; ++i) {
            const auto t0 = Clock::now();
            Invert(buf.data(), buf.size());
            benchmark::ClobberMemory();
            best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
        }
        return best;
    }();
    return floor;
}

// Runs `op` per iteration, timing only `op`. The machine is shared, so
// besides the mean the best iteration is reported, in milliseconds and as a
// multiple of the best floor.
template <typename Setup, typename Op>
void Timed(benchmark::State& state, Setup&& setup, Op&& op)
{
    const double floor = FloorSeconds();
    double total = 0, best = 1e9;
    for (auto _ : state) {
        setup();
        const auto t0 = Clock::now();
        op();
        benchmark::ClobberMemory();
        const double dt = std::chrono::duration<double>(Clock::now() - t0).count();
        state.SetIterationTime(dt);
        total += dt;
        best = std::min(best, dt);
    }
    state.counters["best_ms"] = best * 1e3;
    state.counters["x_floor"] = best / floor;
    state.counters["mean_x_floor"] = total / double(state.iterations()) / floor;
}

template <typename Op>
void Timed(benchmark::State& state, Op&& op)
{
    Timed(state, [] {}, std::forward<Op>(op));
}

void BM_Floor(benchmark::State& state)
{
    auto& buf = FloorBuffer();
    Timed(state, [&] { Invert(buf.data(), buf.size()); });
}

void BM_FillRect(benchmark::State& state)
{
    gdi::Bitmap b = Picture();
    gdi::Canvas c(b);
    int i = 0;
    Timed(state, [&] {
        c.brush().setColor(gdi::Rgb(i & 255, 40, 200));
        ++i;
        c.fillRect({0, 0, kSide, kSide});
    });
}

void BM_RowWalk(benchmark::State& state)
{
    gdi::Bitmap b = Picture();
    Timed(state, [&] {
        const int height = b.height();
        const std::size_t stride = b.stride();
        for (int y = 0; y < height; ++y) {
            std::uint8_t* row = b.scanLine(y);
            for (std::size_t i = 0; i < stride; ++i)
                row[i] = std::uint8_t(255 - row[i]);
        }
    });
}

void BM_FloodFill16M(benchmark::State& state)
{
    gdi::Bitmap b(kSide, kSide);
    gdi::Canvas c(b);
    c.floodFill(0, 0, 0xFFFFFF); // warm the scratch space once
    bool white = false;
    Timed(state, [&] {
        // Alternate so the whole picture is one region of the seed colour.
        c.brush().setColor(white ? 0xFFFFFF : 0x000000);
        c.floodFill(kSide / 2, kSide / 2, white ? 0x000000 : 0xFFFFFF);
        white = !white;
    });
    if (b.pixel(1, 1) != b.pixel(kSide - 1, kSide - 1))
        state.SkipWithError("flood fill did not cover the picture");
}

void BM_HalftoneDown(benchmark::State& state)
{
    const gdi::Bitmap& src = Picture();
    gdi::Bitmap dst(3000, 3000);
    Timed(state, [&] { gdi::StretchHalftone(dst, {0, 0, 3000, 3000}, src, src.bounds()); });
}

void BM_HalftoneHalf(benchmark::State& state)
{
    const gdi::Bitmap& src = Picture();
    gdi::Bitmap dst(kSide / 2, kSide / 2);
    Timed(state, [&] { gdi::StretchHalftone(dst, dst.bounds(), src, src.bounds()); });
}

void BM_HalftoneUp(benchmark::State& state)
{
    gdi::Bitmap src(2900, 2900);
    gdi::Canvas(src).copyRect(src.bounds(), Picture(), {0, 0, 2900, 2900});
    gdi::Bitmap dst(kSide, kSide);
    Timed(state, [&] { gdi::StretchHalftone(dst, dst.bounds(), src, src.bounds()); });
}

void BM_CopyBetweenBitmaps(benchmark::State& state)
{
    const gdi::Bitmap& src = Picture();
    gdi::Bitmap dst(kSide, kSide);
    gdi::Canvas c(dst);
    Timed(state, [&] { c.copyRect(dst.bounds(), src, src.bounds()); });
}

void BM_CopyOverlapping(benchmark::State& state)
{
    gdi::Bitmap b = Picture();
    gdi::Canvas c(b);
    int d = 1;
    Timed(state, [&] {
        c.copyRect({d, d, kSide, kSide}, b, {0, 0, kSide - d, kSide - d});
        d = d == 1 ? -1 : 1;
    });
}

void BM_NearestZoom(benchmark::State& state)
{
    const gdi::Bitmap& src = Picture();
    gdi::Bitmap dst(kSide, kSide);
    Timed(state, [&] { gdi::StretchNearest(dst, dst.bounds(), src, {1000, 1000, 1000 + kSide / 4, 1000 + kSide / 4}); });
}

// Files go to ZENVAS_BENCH_DIR, or else the system's temporary folder.
std::string BenchFile(const char* name)
{
    const char* dir = std::getenv("ZENVAS_BENCH_DIR");
    const std::filesystem::path folder = dir && *dir ? std::filesystem::path(dir)
                                                     : std::filesystem::temp_directory_path();
    return (folder / (std::string("zenvas-bench-") + name)).string();
}

void BM_JpegEncode95(benchmark::State& state)
{
    const gdi::Bitmap& src = Picture();
    const std::string path = BenchFile("enc.jpg");
    Timed(state, [&] { gdi::SaveJpeg(path, src, 95); });
}

void BM_JpegDecode(benchmark::State& state)
{
    const std::string path = BenchFile("dec.jpg");
    gdi::SaveJpeg(path, Picture(), 95);
    gdi::Bitmap out(kSide, kSide);
    Timed(state, [&] { gdi::LoadJpeg(path, out); });
}

void BM_BmpRead(benchmark::State& state)
{
    const std::string path = BenchFile("read.bmp");
    gdi::SaveBmp24(path, Picture());
    gdi::Bitmap out(kSide, kSide);
    gdi::LoadBmp(path, out); // the reusable file buffer grows once, here
    Timed(state, [&] { gdi::LoadBmp(path, out); });
}

// The reference: one read() of the same file into a ready buffer.
void BM_PlainRead(benchmark::State& state)
{
    const std::string path = BenchFile("read.bmp");
    gdi::SaveBmp24(path, Picture());
    std::vector<char> buf(std::size_t(kSide) * kSide * 3 + 54);
    std::memset(buf.data(), 1, buf.size());
    Timed(state, [&] {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        std::size_t done = 0;
        while (done < buf.size()) {
            const ssize_t n = ::read(fd, buf.data() + done, buf.size() - done);
            if (n <= 0)
                break;
            done += std::size_t(n);
        }
        ::close(fd);
    });
}

void BM_BmpWrite(benchmark::State& state)
{
    const std::string path = BenchFile("write.bmp");
    Timed(state, [&] { gdi::SaveBmp24(path, Picture()); });
}

void BM_PlainWrite(benchmark::State& state)
{
    const std::string path = BenchFile("plainwrite.bmp");
    std::vector<char> buf(std::size_t(kSide) * kSide * 3 + 54, 3);
    Timed(state, [&] {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        std::size_t done = 0;
        while (done < buf.size()) {
            const ssize_t n = ::write(fd, buf.data() + done, buf.size() - done);
            if (n <= 0)
                break;
            done += std::size_t(n);
        }
        ::close(fd);
    });
}

#define ZENVAS_BENCH(fn) BENCHMARK(fn)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(0.5)
ZENVAS_BENCH(BM_Floor);
ZENVAS_BENCH(BM_FillRect);
ZENVAS_BENCH(BM_RowWalk);
ZENVAS_BENCH(BM_FloodFill16M);
ZENVAS_BENCH(BM_CopyBetweenBitmaps);
ZENVAS_BENCH(BM_CopyOverlapping);
ZENVAS_BENCH(BM_NearestZoom);
ZENVAS_BENCH(BM_JpegEncode95);
ZENVAS_BENCH(BM_JpegDecode);
ZENVAS_BENCH(BM_BmpRead);
ZENVAS_BENCH(BM_PlainRead);
ZENVAS_BENCH(BM_BmpWrite);
ZENVAS_BENCH(BM_PlainWrite);

// The three halftone shapes on every vector path the processor has, named
// NAME/avx512, NAME/avx2 and NAME/plain.
void RegisterHalftones()
{
    const std::pair<const char*, void (*)(benchmark::State&)> shapes[] = {
        {"BM_HalftoneDown", BM_HalftoneDown}, {"BM_HalftoneHalf", BM_HalftoneHalf}, {"BM_HalftoneUp", BM_HalftoneUp}};
    for (const auto& [name, bench] : shapes)
        for (gdi::Vectors level : {gdi::Vectors::Avx512, gdi::Vectors::Avx2, gdi::Vectors::Plain}) {
            if (level > gdi::MachineVectors())
                continue;
            benchmark::RegisterBenchmark((std::string(name) + "/" + gdi::VectorsName(level)).c_str(),
                                         [level, bench = bench](benchmark::State& state) {
                                             const gdi::Vectors saved = gdi::LimitVectors(level);
                                             bench(state);
                                             gdi::LimitVectors(saved);
                                         })
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond)
                ->MinTime(0.5);
        }
}

} // namespace

int main(int argc, char** argv)
{
    // `--write-picture FILE.bmp` writes the benchmark picture for the
    // side-by-side scripts and exits.
    if (argc == 3 && std::string(argv[1]) == "--write-picture") {
        gdi::SaveBmp24(argv[2], Picture());
        return 0;
    }
    // `--write-ppm FILE.ppm`: the same picture as binary PPM, the input
    // cjpeg reads fastest.
    if (argc == 3 && std::string(argv[1]) == "--write-ppm") {
        std::FILE* f = std::fopen(argv[2], "wb");
        if (!f)
            return 1;
        std::fprintf(f, "P6\n%d %d\n255\n", kSide, kSide);
        std::vector<std::uint8_t> row(std::size_t(kSide) * 3);
        for (int y = 0; y < kSide; ++y) {
            const std::uint8_t* in = Picture().scanLine(y);
            for (int x = 0; x < kSide; ++x) {
                row[3 * x] = in[3 * x + 2];
                row[3 * x + 1] = in[3 * x + 1];
                row[3 * x + 2] = in[3 * x];
            }
            std::fwrite(row.data(), 1, row.size(), f);
        }
        return std::fclose(f) == 0 ? 0 : 1;
    }
    RegisterHalftones();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    std::printf("vector level: %s\n", gdi::VectorsName(gdi::MachineVectors()));
    std::printf("floor (in-place inversion of %d MiB): %.3f ms\n", kSide * kSide * 3 >> 20, FloorSeconds() * 1e3);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
