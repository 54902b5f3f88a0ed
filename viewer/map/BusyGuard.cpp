#include "viewer/map/BusyGuard.h"

#include "viewer/map/ErrorBox.h"

#include <QTimer>

#include <utility>
#include <vector>

namespace {

int holders = 0;

std::vector<std::function<void()>>& waiting() {
    static std::vector<std::function<void()>> actions;
    return actions;
}

void runWaiting() {
    // A command started in between: its guard runs them when it goes.
    if (holders > 0) return;
    auto actions = std::move(waiting());
    waiting().clear();
    for (auto& action : actions)
        runEvent(action);
}

} // namespace

bool IsBusy() {
    return holders > 0;
}

void WhenIdle(std::function<void()> action) {
    if (!action) return;
    if (holders == 0) {
        runEvent(action);
        return;
    }
    waiting().push_back(std::move(action));
}

BusyGuard::BusyGuard() {
    ++holders;
}

BusyGuard::~BusyGuard() {
    --holders;
    if (holders != 0 || waiting().empty()) return;
    // Not from here: the command that held the guard is still unwinding.
    try {
        QTimer::singleShot(0, runWaiting);
    } catch (...) {
        // Without the timer the actions wait for the next guard to go.
    }
}
