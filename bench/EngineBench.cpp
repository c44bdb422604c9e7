// Pointer moves over a canvas with the coordinates, the zoom window and the
// spray all active: what one move of the end user costs.
#include "tests/support/PluginHarness.h"

#include <benchmark/benchmark.h>

namespace {

using harness::Exec;

void PointerMoves(benchmark::State& state)
{
    forms::Window host("Rect1");
    host.setBounds(0, 0, 1024, 768);
    harness::Connect();
    harness::AddRectangle("Rect1", host);
    Exec(1, {"Rect1", "1024", "768"});
    Exec(24, {"Rect1", "[X]", "[Y]"});
    Exec(21, {"Rect1", "True"});
    Exec(16, {"Rect1", "30", "10", "255,0,0", ""});
    auto& windows = forms::WindowSystem::instance();
    windows.pointer(host.handle(), forms::PointerKind::Down, forms::MouseButton::Left, forms::ssLeft, 500, 400);

    constexpr int kMoves = 10000;
    for (auto _ : state) {
        for (int i = 0; i < kMoves; ++i) {
            const int x = 40 + (i * 7) % 944;
            const int y = 40 + (i * 13) % 688;
            windows.pointer(host.handle(), forms::PointerKind::Move, forms::MouseButton::Left, forms::ssLeft, x, y);
        }
        benchmark::DoNotOptimize(harness::State().variables["[X]"].data());
    }
    state.counters["moves_per_second"] =
        benchmark::Counter(double(kMoves) * double(state.iterations()), benchmark::Counter::kIsRate);

    windows.pointer(host.handle(), forms::PointerKind::Up, forms::MouseButton::Left, 0, 500, 400);
    harness::Disconnect();
}
BENCHMARK(PointerMoves)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
