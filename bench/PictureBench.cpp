// Picture files through the routines the load and save actions use
// (LoadPictureFile, SavePicture): the same 4096 x 4096 picture as a 24-bit
// BMP and as a JPEG of the quality the save action writes, each loaded and
// saved. The files go to ZENVAS_BENCH_DIR, or else the system's temporary
// folder, so that runs of several builds (bench/windows_compare.sh) read
// and write the same disk. Beside them, the floor of each direction: one
// plain read of the BMP file into a ready buffer, one plain write of as
// many bytes.
#include "PhotoPicture.h"

#include "pictures/PictureFiles.h"
#include "platform/system/PosixIo.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kSide = 4096;

// The photograph-like picture, kept for every run.
const gdi::Bitmap& Picture()
{
    static const gdi::Bitmap picture = PhotoPicture(kSide);
    return picture;
}

std::string BenchFile(const char* name)
{
    const char* dir = std::getenv("ZENVAS_BENCH_DIR");
    const std::filesystem::path folder = dir && *dir ? std::filesystem::path(dir)
                                                     : std::filesystem::temp_directory_path();
    return (folder / (std::string("zenvas-picture-bench-") + name)).string();
}

// A saved file of the benchmark picture, made once per run.
const std::string& SavedFile(const char* extension)
{
    static std::string bmp, jpeg;
    std::string& file = std::string(extension) == ".bmp" ? bmp : jpeg;
    if (file.empty()) {
        const std::string base = BenchFile("load");
        zenvas::SavePicture(Picture(), kSide, kSide, base, extension);
        file = base + extension;
    }
    return file;
}

void Load(benchmark::State& state, const char* extension)
{
    const std::string& file = SavedFile(extension);
    for (auto _ : state) {
        std::optional<gdi::Bitmap> picture = zenvas::LoadPictureFile(file);
        if (!picture || picture->width() != kSide) {
            state.SkipWithError("the picture did not load");
            break;
        }
        benchmark::DoNotOptimize(picture->scanLine(0));
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(kSide) * kSide * 3);
}

void Save(benchmark::State& state, const char* extension)
{
    const std::string base = BenchFile("save");
    for (auto _ : state)
        zenvas::SavePicture(Picture(), kSide, kSide, base, extension);
    state.SetBytesProcessed(state.iterations() * std::int64_t(kSide) * kSide * 3);
}

void BM_PictureLoadBmp(benchmark::State& state)
{
    Load(state, ".bmp");
}
void BM_PictureSaveBmp(benchmark::State& state)
{
    Save(state, ".bmp");
}
void BM_PictureLoadJpeg(benchmark::State& state)
{
    Load(state, ".jpg");
}
void BM_PictureSaveJpeg(benchmark::State& state)
{
    Save(state, ".jpg");
}

// One read of the whole BMP file into a ready buffer.
void BM_PictureFloorRead(benchmark::State& state)
{
    const std::string& file = SavedFile(".bmp");
    std::vector<char> buffer(std::size_t(kSide) * kSide * 3 + 54);
    for (auto _ : state) {
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        const iovec all{buffer.data(), buffer.size()};
        if (fd < 0 || ::preadv(fd, &all, 1, 0) != ssize_t(buffer.size())) {
            state.SkipWithError("the file did not read");
            break;
        }
        ::close(fd);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(buffer.size()));
}

// One write of as many bytes into a fresh file.
void BM_PictureFloorWrite(benchmark::State& state)
{
    const std::string file = BenchFile("floor.bmp");
    std::vector<char> buffer(std::size_t(kSide) * kSide * 3 + 54, 3);
    for (auto _ : state) {
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const iovec all{buffer.data(), buffer.size()};
        if (fd < 0 || ::writev(fd, &all, 1) != ssize_t(buffer.size())) {
            state.SkipWithError("the file did not write");
            break;
        }
        ::close(fd);
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(buffer.size()));
}

} // namespace

#define ZENVAS_PICTURE_BENCH(name) BENCHMARK(name)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime()
ZENVAS_PICTURE_BENCH(BM_PictureFloorRead);
ZENVAS_PICTURE_BENCH(BM_PictureLoadBmp);
ZENVAS_PICTURE_BENCH(BM_PictureLoadJpeg);
ZENVAS_PICTURE_BENCH(BM_PictureFloorWrite);
ZENVAS_PICTURE_BENCH(BM_PictureSaveBmp);
ZENVAS_PICTURE_BENCH(BM_PictureSaveJpeg);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const char* name : {"load.bmp", "load.jpg", "save.bmp", "save.jpg", "floor.bmp"}) {
        std::error_code ignored;
        std::filesystem::remove(BenchFile(name), ignored);
    }
    return 0;
}
