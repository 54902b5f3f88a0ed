#pragma once
// The run-time error number that a call raises, 0 when it raises none.
#include "runtime/RuntimeError.h"

template <class F> int errorOf(F&& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}
