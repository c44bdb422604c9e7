// A pen stroke of 2,000 moves over a 1920 x 1080 canvas through the window
// system, each move followed by the composition of the page, as a screen
// would show it: moves per second with composition, and the bytes a screen
// would take per move (the repainted areas at four bytes a pixel, as the
// GTK backend uploads them).
#include "tests/support/PluginHarness.h"

#include <benchmark/benchmark.h>

namespace {

using harness::Exec;

void PenStrokeComposed(benchmark::State& state)
{
    forms::Window page("Page");
    page.setBounds(0, 0, 1920, 1080);
    harness::Connect();
    harness::AddRectangle("Rect1", page);
    Exec(1, {"Rect1", "1920", "1080"});
    Exec(9, {"Rect1", "255,0,0", "", ""}); // the pen
    auto& windows = forms::WindowSystem::instance();
    page.compose(); // the first frame paints everything

    constexpr int kMoves = 2000;
    std::uint64_t bytes = 0, frames = 0, moves = 0;
    for (auto _ : state) {
        windows.pointer(page.handle(), forms::PointerKind::Down, forms::MouseButton::Left, forms::ssLeft, 100, 100);
        for (int i = 0; i < kMoves; ++i) {
            // A wandering stroke: a few pixels a move, across the canvas.
            const int x = 100 + (i * 7) % 1700 + (i / 243) % 3;
            const int y = 100 + (i * 3) % 880;
            windows.pointer(page.handle(), forms::PointerKind::Move, forms::MouseButton::Left, forms::ssLeft, x, y);
            for (const gdi::IntRect& r : page.compose())
                bytes += std::uint64_t(r.width()) * std::uint64_t(r.height()) * 4;
            ++frames;
            ++moves;
        }
        windows.pointer(page.handle(), forms::PointerKind::Up, forms::MouseButton::Left, 0, 100, 100);
        page.compose();
    }
    state.counters["moves_per_second"] = benchmark::Counter(double(moves), benchmark::Counter::kIsRate);
    state.counters["frames_per_second"] = benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
    state.counters["bytes_per_move"] = double(bytes) / double(moves);
    state.counters["whole_canvas_bytes"] = 1920.0 * 1080.0 * 4.0;
    harness::Disconnect();
}
BENCHMARK(PenStrokeComposed)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
