// Loaded (LD_PRELOAD) by startup_bench into the reference viewer, an Xlib program; never part of
// Pelorin and linked to nothing but the C library. It notes when the program's first window has
// been painted: the first time the program comes back for an event after it took an Expose
// (the window mapped, and its first drawing done). It prints "window <ms>" (milliseconds of
// CLOCK_MONOTONIC since PELORIN_BENCH_SPAWN) and ends the program there.
#include <dlfcn.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kExpose = 12; // the X protocol's event code

double nowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

bool exposed = false;

void finishIfPainted() {
    if (!exposed) return;
    const char* spawn = std::getenv("PELORIN_BENCH_SPAWN");
    std::printf("window %.3f\n", nowMs() - (spawn ? std::atof(spawn) : nowMs()));
    std::fflush(stdout);
    _exit(0);
}

using NextEventFn = int (*)(void*, void*);

} // namespace

// XEvent begins with its type (an int); the rest is not looked at.
extern "C" int XNextEvent(void* display, void* event) {
    finishIfPainted();
    static auto real = reinterpret_cast<NextEventFn>(dlsym(RTLD_NEXT, "XNextEvent"));
    const int rc = real ? real(display, event) : 0;
    if (*static_cast<int*>(event) == kExpose) exposed = true;
    return rc;
}
