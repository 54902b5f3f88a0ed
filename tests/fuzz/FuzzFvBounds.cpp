// The boundary cache reader on a cache file of any content, for the mesh sizes of its own
// first two lines (bounded) and for a fixed small mesh.
#include "tests/fuzz/FuzzInput.h"

#include "runtime/VArray.h"
#include "viewer/map/FvBounds.h"

#include <cstdlib>

namespace {

void readAs(const std::string& path, Long nNodes, Long nElements) {
    VArray<Long> lands, seas;
    Long nLands = 0, nSeas = 0;
    if (!ReadFvBoundsFile(path, nNodes, nElements, lands, nLands, seas, nSeas)) return;
    // A cache taken as sound gives lists that hold what their counts say.
    if (nLands < 0 || nSeas < 0) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string path = fuzz::writeInput(data, size, "mesh.bnd");
    const long nodes = std::strtol(text.c_str(), nullptr, 10);
    const auto eol = text.find('\n');
    const long elements =
        eol == std::string::npos ? 0 : std::strtol(text.c_str() + eol + 1, nullptr, 10);
    if (nodes > 0 && nodes < 100000 && elements > 0 && elements < 100000)
        readAs(path, nodes, elements);
    readAs(path, 6, 4);
    return 0;
}
