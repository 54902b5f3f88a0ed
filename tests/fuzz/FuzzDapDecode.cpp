// The decoder of a DAP2 data answer (.dods) on an answer of any content: as it stands, and
// against a request that asked for a few values only.
#include "tests/fuzz/FuzzInput.h"

#include "kelvadlib/DapBatch.h"

#include <cstdlib>
#include <map>
#include <string>
#include <variant>

namespace {

std::size_t valuesOf(const std::vector<std::size_t>& count) {
    std::size_t n = 1;
    for (const std::size_t c : count)
        n *= c;
    return n;
}

void decode(const std::string& body, std::size_t mostValues) {
    std::map<std::string, DapSlab> out;
    std::string why;
    if (!DecodeDataDds(body, out, why, mostValues)) {
        if (why.empty()) std::abort(); // a refusal always says why
        return;
    }
    // An answer taken as sound holds every value its shape declares, no more than asked for.
    // Strings are passed over: their entries hold no values (and no type).
    std::size_t total = 0;
    for (const auto& [name, slab] : out) {
        if (slab.type == NC_NAT) continue;
        const std::size_t held = std::visit([](const auto& v) { return v.size(); }, slab.values);
        if (held != valuesOf(slab.count) || !slab.start.empty()) std::abort();
        total += held;
    }
    if (total > mostValues) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string body(reinterpret_cast<const char*>(data), size);
    decode(body, SIZE_MAX);
    decode(body, 64);
    return 0;
}
