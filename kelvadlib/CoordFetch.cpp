// The values a set-up reads, fetched in one request when the dataset is a DAP2 URL.
#include "common/NcHttp.h"
#include "common/NetCDF.h"
#include "kelvadlib/DapBatch.h"
#include "kelvadlib/GridKinds.h"
#include "kelvadlib/Kelvad.h"
#include "kelvadlib/Utils.h"
#include "runtime/Text.h"

#include <netcdf.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace {

// Types the client gives as they come from the server: what it gives in another type is left
// to it.
bool heldType(Long type) {
    switch (type) {
    case NC_UBYTE:
    case NC_SHORT:
    case NC_USHORT:
    case NC_INT:
    case NC_UINT:
    case NC_FLOAT:
    case NC_DOUBLE:
        return true;
    default:
        return false;
    }
}

// The hyperslabs the set-up reads, by variable number.
class Wanted {
public:
    explicit Wanted(const NcfRec& r) : r_(r) {}

    // The whole variable at the sizes the header recorded.
    void whole(Long vId) { slab(vId, -1); }
    // Its first index along the first dimension, all of the others (coordinates that carry a
    // time dimension, read at its first step); firstCount values along the first one when it
    // is 0 or more.
    void slab(Long vId, Long firstCount) {
        if (vId < 1 || vId > r_.nVars) return;
        const VariRec& v = r_.vari(vId);
        if (!heldType(v.type)) return;
        Slab s;
        for (Long k = 1; k <= v.narray; ++k) {
            const Long size = r_.dime(v.arrayDimId(k) + 1).size;
            s.count.push_back(static_cast<std::size_t>(size < 0 ? 0 : size));
        }
        if (firstCount >= 0 && !s.count.empty()) s.count[0] = static_cast<std::size_t>(firstCount);
        for (const std::size_t c : s.count)
            if (c == 0) return;
        slabs_[vId] = s;
    }
    // Only the first entry along every dimension but the first (time values of a variable
    // with more dimensions than time).
    void column(Long vId, Long n) {
        slab(vId, n);
        const auto found = slabs_.find(vId);
        if (found == slabs_.end()) return;
        for (std::size_t d = 1; d < found->second.count.size(); ++d)
            found->second.count[d] = 1;
    }
    // The first step of the first dimension only.
    void firstStep(Long vId) { slab(vId, 1); }

    // With the names the server knows them by; names a constraint cannot carry are left out.
    std::vector<DapWanted> list(int ncid) const {
        std::vector<DapWanted> out;
        for (const auto& [vId, s] : slabs_) {
            std::string name;
            if (NcVarName(ncid, static_cast<int>(vId - 1), name) != NC_NOERR) continue;
            if (!DapPlainName(name)) continue;
            DapWanted w;
            w.varid = static_cast<int>(vId - 1);
            w.name = name;
            w.start.assign(s.count.size(), 0);
            w.count = s.count;
            out.push_back(std::move(w));
        }
        return out;
    }

private:
    struct Slab {
        std::vector<std::size_t> count;
    };
    const NcfRec& r_;
    std::map<Long, Slab> slabs_;
};

std::string valuesText(const std::vector<std::size_t>& count) {
    uint64_t n = 1;
    for (const std::size_t c : count)
        n = c != 0 && n > UINT64_MAX / c ? UINT64_MAX : n * c;
    return std::to_string(n);
}

bool valid(const NcfRec& r, Long vId) {
    return vId >= 1 && vId <= r.nVars;
}

SetUpRead whole(Long vId) {
    return {vId, false};
}

} // namespace

std::vector<SetUpRead> PointListReads(const NcfRec& r) {
    return {whole(r.lon_vId), whole(r.lat_vId)};
}

// As ReadBoundaryFitted reads them: a time dimension in front, its first step.
std::vector<SetUpRead> BoundaryFittedReads(const NcfRec& r) {
    const bool sliced = valid(r, r.lon_vId) && r.vari(r.lon_vId).narray == 3;
    const bool latSliced = sliced && valid(r, r.lat_vId) && r.vari(r.lat_vId).narray == 3;
    return {{r.lon_vId, sliced}, {r.lat_vId, latSliced}};
}

std::vector<SetUpRead> MeshReads(const NcfRec& r) {
    std::vector<SetUpRead> reads = PointListReads(r);
    const Long table = NodeTableVar(r);
    if (table > 0) reads.push_back(whole(table));
    return reads;
}

std::vector<SetUpRead> GmtReads(const NcfRec& r) {
    return {whole(r.dimension_vId), whole(r.spacing_vId), whole(r.lon_vId), whole(r.lat_vId)};
}

Long Kelvad::FetchSetUpValues(Long nH, bool horizontal,
                              std::chrono::steady_clock::time_point callBegan) {
    NcfRec& r = ncf(nH);
    r.held.clear();
    const std::string url = DapDatasetUrl(r.FName);
    if (url.empty() || r.ncid < 0) return 0;

    Wanted wanted(r);
    const GridKind* kind = GridKindOf(r.GridType);
    if (horizontal && kind != nullptr) {
        for (const SetUpRead& read : kind->setUpReads(r)) {
            if (read.firstStep)
                wanted.firstStep(read.vId);
            else
                wanted.whole(read.vId);
        }
    }
    if (r.nTime > 0 && valid(r, r.time_vId)) wanted.column(r.time_vId, r.nTime);
    // Levels over a mesh are read at its first node (SetVerticalExtent).
    if (r.kMax >= 1 && valid(r, r.level_vId)) wanted.column(r.level_vId, r.kMax);

    const std::vector<DapWanted> list = wanted.list(static_cast<int>(r.ncid));
    if (list.empty()) return 0;
    // Where the client fetches them all together by itself, it is left to: its one request
    // also brings the small data variables, which the first frames then read from memory.
    bool allSmall = true;
    for (const DapWanted& w : list) {
        const VariRec& v = r.vari(w.varid + 1);
        double n = 1;
        for (Long k = 1; k <= v.narray; ++k)
            n *= static_cast<double>(r.dime(v.arrayDimId(k) + 1).size);
        if (n > static_cast<double>(kDapClientPrefetchValues)) allSmall = false;
    }
    if (allSmall && DapClientPrefetches(r.FName)) return 0;
    const std::string tag = "[FetchSetUpValues] ";
    // The open's requests and this one share the call's stall limit; what the open took
    // counts against it, as netCDF-C cannot say how much of that was waiting.
    const auto spent = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - callBegan)
            .count();
    };
    const double stallLeft = std::max(1.0, CallStallLimit - spent());
    std::string body, why;
    const DapGet got =
        DapHttpGet(DapDataRequest(url, list), body, why, DapAnswerLimit(list), stallLeft);
    if (got == DapGet::TooLong) {
        // A server that sends more than was asked for would send it to netCDF-C's reads too.
        ErrorMessage = tag + "The server's answer is longer than the " +
                       CStr(static_cast<Long>(DapAnswerLimit(list))) +
                       " bytes that the values asked for can take: " + r.FName;
        CloseSlot(nH);
        return kFetchRefused;
    }
    std::map<std::string, DapSlab> decoded;
    const bool served =
        got == DapGet::Ok && DecodeDataDds(body, decoded, why, DapValuesAsked(list));
    if (!served) DebugOut(tag + why + ": " + r.FName);
    // The reads would go to netCDF-C, one request each, as they do without the batch; each may
    // wait for netCDF-C's own time-out, which must fit in what the call has left. Otherwise,
    // and when this request got no answer, every read after it would wait as long again.
    const Long perRequest = PrepareNcHttpTimeouts().total;
    if (got == DapGet::NoAnswer ||
        (!served && perRequest > 0 && spent() + static_cast<double>(perRequest) > CallStallLimit)) {
        CloseSlot(nH);
        return -1;
    }
    if (!served) return 0;
    body = std::string();
    Long kept = 0;
    for (const DapWanted& w : list) {
        const auto found = decoded.find(w.name);
        if (found == decoded.end()) continue;
        DapSlab& slab = found->second;
        if (DapSlabFallsShort(w, slab)) {
            // Every array the set-up sizes from the header would be sized beyond the data.
            ErrorMessage = tag + "The server declares " + valuesText(w.count) + " values of " +
                           w.name + " but sends " + valuesText(slab.count) + ": " + r.FName;
            r.held.clear();
            CloseSlot(nH);
            return kFetchRefused;
        }
        if (slab.type != r.vari(w.varid + 1).type || slab.count != w.count) continue;
        slab.start = w.start;
        r.held[w.varid] = std::move(slab);
        ++kept;
    }
    DebugOut(tag + CStr(kept) + " of " + CStr(static_cast<Long>(list.size())) +
             " variables fetched together: " + r.FName);
    return 1;
}

void Kelvad::ReleaseSetUpValues(Long nH) {
    if (!ncf.IsAllocated() || nH < ncf.LBound() || nH > ncf.UBound()) return;
    NcfRec& r = ncf(nH);
    if (r.held.empty()) return;
    const GridKind* kind = GridKindOf(r.GridType);
    const Long table = kind != nullptr && kind->cornerTable ? NodeTableVar(r) : 0;
    DapSlabs kept;
    if (table > 0) {
        const auto found = r.held.find(static_cast<int>(table - 1));
        if (found != r.held.end()) kept.insert(r.held.extract(found));
    }
    r.held = std::move(kept);
}
