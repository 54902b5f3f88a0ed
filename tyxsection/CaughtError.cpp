#include "tyxsection/CaughtError.h"
#include "runtime/RuntimeError.h"

#include <exception>
#include <new>

CaughtError CurrentError() {
    try {
        throw;
    } catch (const RuntimeError& e) {
        return {e.number(), e.description()};
    } catch (const std::bad_alloc&) {
        return {7, ErrorText(7)};
    } catch (const std::exception& e) {
        return {51, std::string("Internal error: ") + e.what()};
    } catch (...) {
        return {51, "Internal error"};
    }
}
