// Pointer moves over a canvas with the coordinates, the zoom window and the
// spray all active: what one move of the end user costs.
#define ZENVAS_DECLARE_ENTRY_POINTS
#include "zenvas/zenvas.h"

#include "platform/forms/Window.h"
#include "platform/system/GlobalMemory.h"
#include "plugin/HostServices.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

std::string g_handle;
std::string g_lastX, g_lastY;

ZenvasBool ZENVAS_CALL AnswerWindow(int32_t, char** slot)
{
    sys::GlobalFree(*slot);
    *slot = sys::GlobalAllocText(g_handle);
    return ZENVAS_TRUE;
}

void ZENVAS_CALL StoreVariable(const char* name, const char* value)
{
    (name[1] == 'X' ? g_lastX : g_lastY) = value;
}

bool Exec(int number, std::vector<std::string> texts)
{
    std::vector<char*> params;
    for (auto& text : texts)
        params.push_back(text.data());
    return nbExecAction(number, params.data()) == ZENVAS_TRUE;
}

void PointerMoves(benchmark::State& state)
{
    forms::Window host("Rect1");
    host.setBounds(0, 0, 1024, 768);
    g_handle = std::to_string(host.handle());
    nbRegisterInterfaceAccess(&AnswerWindow);
    zenvas::Host().setVariable = &StoreVariable;
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
        benchmark::DoNotOptimize(g_lastX.data());
    }
    state.counters["moves_per_second"] =
        benchmark::Counter(double(kMoves) * double(state.iterations()), benchmark::Counter::kIsRate);

    windows.pointer(host.handle(), forms::PointerKind::Up, forms::MouseButton::Left, 0, 500, 400);
    nbMessage(2);
    zenvas::Host().setVariable = nullptr;
}
BENCHMARK(PointerMoves)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
