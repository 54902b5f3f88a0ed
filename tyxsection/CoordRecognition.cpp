// Coordinate recognition of the control's reader: fixed words for names and units, as the
// control has no alias lists.
#include "common/NetCDF.h"
#include "runtime/Strings.h"
#include "tyxsection/ocxNetNc.h"

#include <initializer_list>
#include <string>
#include <utility>

namespace {

// True when the text begins with the upper-case word, letter case aside.
bool begins(const std::string& text, const std::string& word) {
    return UCase(Left(text, Len(word))) == word;
}

// True when an attribute whose name begins with UNIT has a value beginning with one of the
// words.
bool unitBegins(const OcxVari& v, std::initializer_list<const char*> words) {
    for (Long k = 1; k <= v.nattri; ++k) {
        if (!begins(v.attName[k], "UNIT")) continue;
        for (const char* w : words)
            if (begins(v.attValue[k], w)) return true;
    }
    return false;
}

// A variable named after its first dimension.
bool isCoordinate(const OcxVari& v) {
    return v.narray >= 1 && v.arrayDimName[1] == v.name;
}

bool sameDimensions(const OcxVari& a, const OcxVari& b) {
    if (a.narray != b.narray) return false;
    for (Long i = 1; i <= a.narray; ++i)
        if (a.arrayDimId[i] != b.arrayDimId[i]) return false;
    return true;
}

// The passes of one horizontal coordinate; false when none finds it. A position that is no
// coordinate variable is taken, where one is, over the dimensions of `like` (the longitude
// already found), so that a latitude of another grid is never paired with it.
bool pickHorizontal(OcxNcf& ncf, const char* namePrefix, std::initializer_list<const char*> units,
                    Long& dId, Long& vId, const OcxVari* like = nullptr) {
    for (Long v = 1; v <= ncf.nVars; ++v) {
        const OcxVari& r = ncf.vari(v);
        if (begins(r.name, namePrefix) && unitBegins(r, {"DEGREE"}) && isCoordinate(r)) {
            dId = r.arrayDimId[1];
            vId = v;
            return true;
        }
    }
    for (Long v = 1; v <= ncf.nVars; ++v) {
        const OcxVari& r = ncf.vari(v);
        if (unitBegins(r, units) && isCoordinate(r)) {
            dId = r.arrayDimId[1];
            vId = v;
            return true;
        }
    }
    // Then plain radians, where the name says which (MPAS's lonCell, latCell).
    const bool east = std::string(namePrefix) == "LON";
    for (const bool radians : {false, true}) {
        for (const bool sameGrid : {true, false}) {
            for (Long v = 1; v <= ncf.nVars; ++v) {
                const OcxVari& r = ncf.vari(v);
                if (sameGrid && like != nullptr && !sameDimensions(r, *like)) continue;
                if (radians ? ocxInRadians(r) && NameSaysPosition(r.name, east)
                            : unitBegins(r, units)) {
                    if (radians && isCoordinate(r)) dId = r.arrayDimId[1];
                    vId = v;
                    return true;
                }
            }
        }
    }
    return false;
}

} // namespace

Long ocxPickCoordVariables(OcxNcf& ncf) {
    ncf.lon_dId = ncf.lat_dId = -1;
    ncf.nCell_dId = ncf.iCell_dId = ncf.jCell_dId = ncf.kCell_dId = -1;
    ncf.time_dId = ncf.level_dId = -1;
    ncf.lonlatOrder = -1;
    ncf.TimePick = ncf.LevelPick = -1;

    if (!pickHorizontal(ncf, "LON", {"DEGREES_EAST", "DEGREES EAST", "DEGREE_EAST", "DEGREE EAST"},
                        ncf.lon_dId, ncf.lon_vId))
        return -1;
    if (!pickHorizontal(ncf, "LAT",
                        {"DEGREES_NORTH", "DEGREES NORTH", "DEGREE_NORTH", "DEGREE NORTH"},
                        ncf.lat_dId, ncf.lat_vId, &ncf.vari(ncf.lon_vId)))
        return -2;

    for (Long v = 1; v <= ncf.nVars; ++v) {
        const OcxVari& r = ncf.vari(v);
        if (begins(r.name, "TIME") && r.narray == 1) {
            ncf.time_vId = v;
            ncf.time_dId = r.arrayDimId[1];
            break;
        }
    }

    if (ncf.lon_dId == -1 || ncf.lat_dId == -1) {
        for (Long d = 1; d <= ncf.nDims; ++d) {
            if (begins(ncf.dime(d).name, "NCELL")) {
                ncf.nCell_dId = d - 1;
                break;
            }
        }
        if (ncf.nCell_dId == -1) {
            // Every test runs for every dimension: a later match wins, and X, Y, Z over
            // ICEL, JCEL, KCEL.
            const std::pair<const char*, Long*> passes[] = {
                {"ICEL", &ncf.iCell_dId}, {"JCEL", &ncf.jCell_dId}, {"KCEL", &ncf.kCell_dId},
                {"X", &ncf.iCell_dId},    {"Y", &ncf.jCell_dId},    {"Z", &ncf.kCell_dId}};
            for (Long pass = 0; pass < 2; ++pass)
                for (Long d = 1; d <= ncf.nDims; ++d)
                    for (Long p = pass * 3; p < pass * 3 + 3; ++p)
                        if (begins(ncf.dime(d).name, passes[p].first)) *passes[p].second = d - 1;
            if (ncf.iCell_dId == -1) return -3;
        }
        bool lonFound = false, latFound = false;
        for (Long v = 1; v <= ncf.nVars; ++v) {
            const OcxVari& r = ncf.vari(v);
            if (!unitBegins(r, {"DEGREE"})) continue;
            if (!lonFound && begins(r.name, "LON")) {
                ncf.lon_vId = v;
                lonFound = true;
            } else if (!latFound && begins(r.name, "LAT")) {
                ncf.lat_vId = v;
                latFound = true;
            }
        }
        ncf.lonlatOrder = 0;
    }

    for (Long v = 1; v <= ncf.nVars; ++v) {
        const OcxVari& r = ncf.vari(v);
        if (r.narray != 1) continue;
        bool found = false;
        for (const char* w : {"LEVEL", "SIGMA", "Z", "LAYER", "DEPTH"})
            found = found || begins(r.name, w);
        if (found) {
            ncf.level_dId = r.arrayDimId[1];
            ncf.level_vId = v;
            break;
        }
    }

    if (ncf.time_dId != -1) ncf.TimePick = 1;
    if (ncf.level_dId != -1) ncf.LevelPick = 1;
    return 1;
}

bool ocxInRadians(const OcxVari& v) {
    for (Long k = 1; k <= v.nattri; ++k)
        if (begins(v.attName[k], "UNIT") && RadianUnitText(v.attValue[k])) return true;
    return false;
}

Long GetGridDimOrder(const OcxNcf& ncf, Long nv) {
    const OcxVari& v = ncf.vari(nv);
    const Long n = v.narray;
    if (n < 2) return -1;
    const Long last = v.arrayDimId[n];
    const Long previous = v.arrayDimId[n - 1];
    if (last == ncf.lat_dId && previous == ncf.lon_dId) return 1;
    if (last == ncf.lon_dId && previous == ncf.lat_dId) return 2;
    return -1;
}
