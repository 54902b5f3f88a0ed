#include "platform/DebugOut.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

std::mutex& sinkMutex() {
    static std::mutex m;
    return m;
}

DebugSink& currentSink() {
    static DebugSink sink;
    return sink;
}

bool debugWanted() {
    static const bool wanted = std::getenv("PELORIN_DEBUG") != nullptr;
    return wanted;
}

} // namespace

void DebugOut(const std::string& line) {
    DebugSink sink;
    {
        std::lock_guard lock(sinkMutex());
        sink = currentSink();
    }
    if (sink) {
        sink(line);
        return;
    }
    if (!debugWanted()) return;
    // One line per call, whatever breaks the text holds.
    std::string out = line;
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    out += '\n';
    std::fwrite(out.data(), 1, out.size(), stderr);
    std::fflush(stderr);
}

DebugSink SetDebugSink(DebugSink sink) {
    std::lock_guard lock(sinkMutex());
    DebugSink old = std::move(currentSink());
    currentSink() = std::move(sink);
    return old;
}
