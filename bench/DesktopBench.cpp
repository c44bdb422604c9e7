// A pen stroke of 2,000 moves over a 1920 x 1080 canvas in a GTK window,
// from the pointer event the window's signal handler hands the desktop
// layer to the converted pixels handed to GTK, with a frame delivered after
// every move: moves per second, and the bytes converted per move (the
// stroke's boxes at four bytes a pixel; the whole window would be
// 8,294,400). Needs a display: bench/desktop.sh runs it under xvfb-run.
#include "platform/backends/gtk/GtkBackend.h"
#include "tests/support/PluginHarness.h"

#include <benchmark/benchmark.h>

#include <iostream>

namespace {

using harness::Exec;

void PenStrokeOnTheScreen(benchmark::State& state)
{
    auto& desktop = forms::GtkBackend::instance();
    forms::Backend* previous = forms::SetBackend(&desktop);
    forms::Window page("Page");
    page.setBounds(0, 0, 1920, 1080);
    harness::Connect();
    harness::AddRectangle("Rect1", page);
    Exec(1, {"Rect1", "1920", "1080"});
    Exec(9, {"Rect1", "255,0,0", "", ""}); // the pen
    page.show();
    desktop.processPending(); // the first frame shows everything

    constexpr int kMoves = 2000;
    std::uint64_t moves = 0, framesMissed = 0;
    const std::uint64_t bytesBefore = desktop.bytesPresented();
    for (auto _ : state) {
        desktop.pointerEvent(page, forms::PointerKind::Down, forms::MouseButton::Left, forms::ssLeft, 100, 100);
        for (int i = 0; i < kMoves; ++i) {
            // A wandering stroke: a few pixels a move, across the canvas.
            const int x = 100 + (i * 7) % 1700 + (i / 243) % 3;
            const int y = 100 + (i * 3) % 880;
            const std::uint64_t frames = desktop.frames();
            desktop.pointerEvent(page, forms::PointerKind::Move, forms::MouseButton::Left, forms::ssLeft, x, y);
            desktop.processPending();
            if (desktop.frames() == frames)
                ++framesMissed;
            ++moves;
        }
        desktop.pointerEvent(page, forms::PointerKind::Up, forms::MouseButton::Left, 0, 100, 100);
        desktop.processPending();
    }
    state.counters["moves_per_second"] = benchmark::Counter(double(moves), benchmark::Counter::kIsRate);
    state.counters["bytes_per_move"] = double(desktop.bytesPresented() - bytesBefore) / double(moves);
    state.counters["moves_without_frame"] = double(framesMissed);
    state.counters["whole_window_bytes"] = 1920.0 * 1080.0 * 4.0;
    harness::Disconnect();
    page.hide();
    desktop.processPending();
    forms::SetBackend(previous);
}
BENCHMARK(PenStrokeOnTheScreen)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    std::string problem;
    if (!forms::GtkBackend::instance().open(problem)) {
        std::cerr << "zenvas-desktop-bench: " << problem << '\n';
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
