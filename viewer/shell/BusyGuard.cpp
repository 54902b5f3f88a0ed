#include "viewer/shell/BusyGuard.h"

namespace {
int holders = 0;
} // namespace

bool IsBusy() {
    return holders > 0;
}

BusyGuard::BusyGuard() {
    ++holders;
}

BusyGuard::~BusyGuard() {
    --holders;
}
