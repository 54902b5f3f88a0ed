#pragma once
// The number and description of the error being handled, for the control's messages and boxes.
#include <string>

struct CaughtError {
    int number = 0;
    std::string description;
};

// Call only inside a catch block: a RuntimeError gives its own number and text, a failed
// allocation 7 "Out of memory", anything else 51 "Internal error".
CaughtError CurrentError();
