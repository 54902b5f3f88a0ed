#pragma once
// A VArray's elements in memory order, to compare with a vector; none when it is not
// allocated.
#include "runtime/VArray.h"

#include <vector>

template <class T> std::vector<T> items(const VArray<T>& a) {
    return std::vector<T>(a.begin(), a.end());
}
