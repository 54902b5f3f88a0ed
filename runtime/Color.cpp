#include "runtime/Color.h"
#include "runtime/RuntimeError.h"

Long RGB(Long r, Long g, Long b) {
    if (r < 0 || g < 0 || b < 0) throw RuntimeError(err::InvalidCall);
    auto part = [](Long v) { return v > 255 ? 255 : v; };
    return part(r) + 256 * part(g) + 65536 * part(b);
}

Long QBColor(Long n) {
    static const Long table[16] = {
        RGB(0, 0, 0),       RGB(0, 0, 128),   RGB(0, 128, 0),   RGB(0, 128, 128),
        RGB(128, 0, 0),     RGB(128, 0, 128), RGB(128, 128, 0), RGB(192, 192, 192),
        RGB(128, 128, 128), RGB(0, 0, 255),   RGB(0, 255, 0),   RGB(0, 255, 255),
        RGB(255, 0, 0),     RGB(255, 0, 255), RGB(255, 255, 0), RGB(255, 255, 255)};
    if (n < 0 || n > 15) throw RuntimeError(err::InvalidCall);
    return table[n];
}
