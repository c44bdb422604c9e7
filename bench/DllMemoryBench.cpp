// The private bytes of a host process around the shipped DLL: a host in
// miniature loads Zenvas.nbp with LoadLibrary (as StandaloneDllTest does),
// makes a 4096 x 4096 canvas in a window of its own, runs the eight picture
// transforms on it and deletes it. The private bytes (PrivateUsage of
// GetProcessMemoryInfo, or PagefileUsage, the same count, where wine
// leaves the first empty) are read after every step, and every millisecond by a thread of its own
// meanwhile, so a peak inside one transform is seen too. Prints one line
// per step and the verdicts: a peak below 400 MiB, and back within 2 MiB of
// the start after ZenvasDelete.
//   zenvas-dll-memory-bench PATH\TO\Zenvas.nbp
// It needs a display for its windows (under wine: an X server, such as
// xvfb-run's).
#define ZENVAS_DECLARE_ENTRY_POINTS
#include "zenvas/zenvas.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr double kMiB = 1024.0 * 1024.0;
constexpr double kPeakLimitMiB = 400;
constexpr double kReturnLimitMiB = 2;

double PrivateMiB()
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters))
        return -1;
    // The commit charge: Windows gives it twice, as PrivateUsage and as
    // PagefileUsage; wine fills only the second (from the process's
    // resident anonymous memory).
    return double(counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage) / kMiB;
}

// The highest reading since the last Reset, by the sampling thread and by
// every step's own reading.
std::atomic<std::uint64_t> peakBytes{0};
std::atomic<bool> sampling{true};

void Note(double mib)
{
    const auto bytes = std::uint64_t(mib * kMiB);
    std::uint64_t seen = peakBytes.load();
    while (bytes > seen && !peakBytes.compare_exchange_weak(seen, bytes)) {
    }
}

DWORD WINAPI Sample(void*)
{
    while (sampling.load()) {
        Note(PrivateMiB());
        Sleep(1);
    }
    return 0;
}

HWND hostRectangle = nullptr;

ZenvasBool ZENVAS_CALL AnswerQuery(int32_t code, char** slot)
{
    if (code != 7)
        return ZENVAS_FALSE;
    const std::string handle = std::to_string(reinterpret_cast<std::intptr_t>(hostRectangle));
    GlobalFree(*slot);
    *slot = static_cast<char*>(GlobalAlloc(GPTR, handle.size() + 1));
    std::memcpy(*slot, handle.c_str(), handle.size() + 1);
    return ZENVAS_TRUE;
}

void HandleMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

ZenvasExecActionFn execAction = nullptr;
int failures = 0;

// Runs an action with these texts, as a host hands them (global blocks).
void Exec(int32_t number, std::vector<std::string> texts)
{
    std::vector<char*> params;
    for (const std::string& text : texts) {
        params.push_back(static_cast<char*>(GlobalAlloc(GPTR, text.size() + 1)));
        std::memcpy(params.back(), text.c_str(), text.size() + 1);
    }
    if (execAction(number, params.data()) != ZENVAS_TRUE) {
        std::printf("action %d answered false\n", int(number));
        ++failures;
    }
    for (char* param : params)
        GlobalFree(param);
    HandleMessages();
    Note(PrivateMiB());
}

// The eight transforms, each with the working memory it keeps.
void RunTransforms()
{
    Exec(35, {"Big", "10", "-10", "5"});
    Exec(36, {"Big", "7"});
    Exec(37, {"Big"});
    Exec(38, {"Big", "50,10,90"});
    Exec(39, {"Big", "0,0,255", "50", "5"});
    Exec(40, {"Big", "255,255,255", "5"});
    Exec(41, {"Big", "2"});
    Exec(42, {"Big", "True", "100"});
}

double Report(const char* step, double since)
{
    const double now = PrivateMiB();
    Note(now);
    std::printf("%-48s %9.1f MiB  %+9.1f MiB\n", step, now, now - since);
    return now;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: zenvas-dll-memory-bench PATH\\TO\\Zenvas.nbp\n");
        return 2;
    }
    std::string file = argv[1];
    std::replace(file.begin(), file.end(), '/', '\\');
    HMODULE module = LoadLibraryA(file.c_str());
    if (!module) {
        std::fprintf(stderr, "%s: error %lu\n", file.c_str(), GetLastError());
        return 1;
    }
    execAction = reinterpret_cast<ZenvasExecActionFn>(reinterpret_cast<void*>(GetProcAddress(module, "nbExecAction")));
    auto registerAccess = reinterpret_cast<ZenvasRegisterInterfaceAccessFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "nbRegisterInterfaceAccess")));
    auto message = reinterpret_cast<ZenvasMessageFn>(reinterpret_cast<void*>(GetProcAddress(module, "nbMessage")));
    if (!execAction || !registerAccess || !message) {
        std::fprintf(stderr, "%s: the entry points are missing\n", file.c_str());
        return 1;
    }

    WNDCLASSW hostClass{};
    hostClass.lpfnWndProc = &DefWindowProcW;
    hostClass.hInstance = GetModuleHandleW(nullptr);
    hostClass.lpszClassName = L"HostPage";
    RegisterClassW(&hostClass);
    HWND page = CreateWindowExW(0, L"HostPage", L"Page", WS_OVERLAPPEDWINDOW, 0, 0, 1100, 850, nullptr, nullptr,
                                hostClass.hInstance, nullptr);
    hostRectangle = page ? CreateWindowExW(0, L"HostPage", L"", WS_CHILD | WS_VISIBLE, 10, 10, 1024, 768, page,
                                           nullptr, hostClass.hInstance, nullptr)
                         : nullptr;
    if (!hostRectangle) {
        std::fprintf(stderr, "no display to make windows on (under wine, run it on an X server)\n");
        return 77;
    }
    registerAccess(&AnswerQuery);

    std::printf("%-48s %13s  %13s\n", "step", "private", "change");
    // Warm-up: code pages, the heap's first regions, the font cache.
    Exec(1, {"Big", "64", "64"});
    RunTransforms();
    Exec(2, {"Big"});

    HANDLE sampler = CreateThread(nullptr, 0, &Sample, nullptr, 0, nullptr);
    const double before = Report("before the 4096 x 4096 canvas", 0);
    if (before <= 0) {
        std::fprintf(stderr, "the system gives no private bytes\n");
        return 1;
    }
    peakBytes = 0;
    Exec(1, {"Big", "4096", "4096"});
    Report("canvas made (vs before)", before);
    RunTransforms();
    Report("after the eight transforms (vs before)", before);
    Exec(2, {"Big"});
    const double deleted = Report("after ZenvasDelete (vs before)", before);
    const double peak = double(peakBytes.load()) / kMiB;

    Exec(1, {"Big", "4096", "4096"});
    RunTransforms();
    Report("4096 x 4096 again, transformed (vs before)", before);
    message(2);
    HandleMessages();
    const double released = Report("after message 2 (vs before)", before);
    sampling = false;
    WaitForSingleObject(sampler, INFINITE);
    CloseHandle(sampler);

    std::printf("peak while the canvas lived: %.1f MiB (%+.1f MiB over the start); limit %.0f MiB\n", peak,
                peak - before, kPeakLimitMiB);
    std::printf("after ZenvasDelete: %+.1f MiB; after message 2: %+.1f MiB; limit %.0f MiB\n", deleted - before,
                released - before, kReturnLimitMiB);
    const bool ok = failures == 0 && peak < kPeakLimitMiB && deleted - before <= kReturnLimitMiB &&
                    released - before <= kReturnLimitMiB;
    std::printf("%s\n", ok ? "within the limits" : "OUTSIDE THE LIMITS");
    DestroyWindow(page);
    FreeLibrary(module);
    return ok ? 0 : 1;
}
