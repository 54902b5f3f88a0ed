// A dataset from bytes: the load the viewer makes and the calls that follow it (extents, time
// axis, variable and attribute lists, a 2-D read of the first data variable).
#include "tests/fuzz/FuzzInput.h"

#include "kelvadlib/IKelvad.h"

#include <cstring>
#include <memory>

namespace {

// netCDF-4 files are HDF5 files, opened by netCDF-C and HDF5 themselves: their own faults on
// malformed files are not ours to find here. HDF5 looks for its signature at 0, 512, 1024, ...
bool isHdf5(const std::uint8_t* data, std::size_t size) {
    static const char sig[] = "\x89HDF\r\n\x1a\n";
    for (std::size_t at = 0; at + 8 <= size; at = at == 0 ? 512 : at * 2)
        if (std::memcmp(data + at, sig, 8) == 0) return true;
    return false;
}

// Reads the first data variable over its last two dimensions at the first index of the
// others, as the map's read window does for one step and level.
void readFirstField(IKelvad& k, Long n) {
    const Long nv = k.Var1st(n);
    if (nv < 1) return;
    const Long rank = k.variNarray(nv, n);
    if (rank < 1) return;
    VArray<Long> start(1, rank), count(1, rank);
    Long total = 1;
    for (Long d = 1; d <= rank; ++d) {
        const Long size = k.dimeSize(k.variArrayDimID(nv, d, n) + 1, n);
        start(d) = 0;
        count(d) = d > rank - 2 ? size : (size > 0 ? 1 : 0);
        if (count(d) < 1) return;
        total *= count(d);
        // A field the size of a large map at most: the read itself is what is tested.
        if (total > (1 << 22)) return;
    }
    VArray<float> values(1, total);
    k.GetVaraAny(nv, -1e35f, values, start, count, total, n);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (isHdf5(data, size)) return 0;
    const std::string path = fuzz::writeInput(data, size, "input.nc");
    std::unique_ptr<IKelvad> k(CreateKelvad());
    // The time range the file list shows and the header of the CDL dump, through slot 0.
    std::string first, last;
    k->StartEndDate(path, first, last);
    k->GetHeadOnly(path);
    const Long n = k->Initialize(path);
    if (n < 1) {
        (void)k->ErrorMessage();
        return 0;
    }
    (void)k->westEnd(n);
    (void)k->eastEnd(n);
    (void)k->southEnd(n);
    (void)k->northEnd(n);
    (void)k->GridType(n);
    (void)k->dLon(n);
    (void)k->dLat(n);
    for (Long d = 1; d <= k->nDimes(n); ++d) {
        (void)k->dimeName(d, n);
        (void)k->dimeSize(d, n);
    }
    for (Long a = 1; a <= k->nGatts(n); ++a) {
        (void)k->gAttName(a, n);
        (void)k->gAttValue(a, n);
    }
    for (Long v = 1; v <= k->nVars(n); ++v) {
        (void)k->variName(v, n);
        (void)k->variKind(v, n);
        (void)k->variUnit(v, n);
        (void)k->variLongName(v, n);
        (void)k->variScale(v, n);
        (void)k->variMisnVal(v, n);
        for (Long d = 1; d <= k->variNarray(v, n); ++d)
            (void)k->variArrayDimName(v, d, n);
        for (Long a = 1; a <= k->variNattri(v, n); ++a) {
            (void)k->variAttName(v, a, n);
            (void)k->variAttValue(v, a, n);
        }
    }

    VArray<float> lon, lat;
    lon.ReDim(0, 1);
    k->FillLonLatDeg(lon, lat, n);

    const Long nTime = k->nTime(n);
    if (nTime > 0) {
        VArray<double> timeV(1, nTime);
        k->FillTime(timeV, n);
        VArray<Long> orv;
        k->FillOrvTime(orv, n);
        (void)k->StartTime(n);
        (void)k->endTime(n);
        (void)k->DatePicked(1, n);
        (void)k->DatePicked(nTime, n);
        Long nt1 = 0, nt2 = 0;
        float tw1 = 0, tw2 = 0;
        k->TimePt(Variant(k->StartTimeMin(n)), nt1, nt2, tw1, tw2, n);
        (void)k->ClosestTstep(Date(k->StartTimeMin(n) / 1440.0), n);
    }
    const Long kMax = k->kMax(n);
    if (kMax > 1) {
        VArray<double> levels(1, kMax);
        k->FillvCoord(levels, n);
    }
    readFirstField(*k, n);
    return 0;
}
