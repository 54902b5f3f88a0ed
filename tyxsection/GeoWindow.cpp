// Coordinate arrays and time axis of the control's reader.
#include "common/Calendar.h"
#include "common/NetCDF.h"
#include "common/Strings.h"
#include "runtime/Convert.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "tyxsection/ocxNetNc.h"

#include <netcdf.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// A failed library read.
struct NcFailure {
    int status;
};
// A refusal with its message.
struct Refusal {
    std::string message;
};

// The number of values variable v holds: the product of its dimension sizes.
double valueCount(const OcxNcf& ncf, const OcxVari& v) {
    double n = 1;
    for (Long i = 1; i <= v.narray; ++i)
        n *= ncf.dime(v.arrayDimId[i] + 1).size;
    return n;
}

// Every read of a whole variable must fill its target exactly: a variable of another shape
// than its role gives (a longitude with a second dimension, say) is refused, never read past
// the target.
void checkFits(const OcxNcf& ncf, const OcxVari& v, std::size_t target) {
    const double n = valueCount(ncf, v);
    if (n != static_cast<double>(target))
        throw Refusal{"[SetGeoWindow] Variable " + v.name + " holds " + CStr(n) + " values where " +
                      CStr(static_cast<double>(target)) + " are expected"};
}

// A file cut short since its header was read would give zeros for the values it lost.
void checkInFile(const OcxNcf& ncf, Long nv) {
    const int status = CheckClassicRead(&ncf.classic, ncf.FName, static_cast<int>(nv - 1));
    if (status != NC_NOERR) throw NcFailure{status};
}

// Reads variable v whole as Doubles into out (target values from out + 0 on); the integer and
// float types are read in their own type first. False for a type the reader does not take.
bool readWholeAsDouble(int ncid, const OcxNcf& ncf, Long nv, double* out, std::size_t target) {
    const OcxVari& v = ncf.vari(nv);
    auto convert = [&](auto tag, auto get) {
        using T = decltype(tag);
        checkFits(ncf, v, target);
        checkInFile(ncf, nv);
        std::vector<T> buffer(target);
        const int status = get(buffer.data());
        if (status != NC_NOERR) throw NcFailure{status};
        for (std::size_t i = 0; i < target; ++i)
            out[i] = static_cast<double>(buffer[i]);
    };
    switch (NcReadType(v.type)) {
    case NC_SHORT:
        convert(short{}, [&](short* p) { return nc_get_var_short(ncid, nv - 1, p); });
        return true;
    case NC_INT:
        convert(int{}, [&](int* p) { return nc_get_var_int(ncid, nv - 1, p); });
        return true;
    case NC_FLOAT:
        convert(float{}, [&](float* p) { return nc_get_var_float(ncid, nv - 1, p); });
        return true;
    case NC_DOUBLE: { // also the netCDF-4 whole numbers: xarray writes int64 times
        checkFits(ncf, v, target);
        checkInFile(ncf, nv);
        const int status = nc_get_var_double(ncid, nv - 1, out);
        if (status != NC_NOERR) throw NcFailure{status};
        return true;
    }
    default:
        return false;
    }
}

std::string typeMessage(const char* what, const OcxVari& v, const char* typeWord) {
    return std::string("Variable-Type of ") + what + " not expected:\n\nVariable Name = " + v.name +
           "\n" + typeWord + " = " + CStr(v.type);
}

// The date text of a serial of the axis's calendar.
std::string dateText(const OcxNcf& ncf, double serial) {
    return CalendarDateText(ncf.calendar, Date(serial));
}

void readTimeAxis(int ncid, OcxNcf& ncf, GeoArrays& geo, std::string& errorMessage) {
    geo.nTime = ncf.dime(ncf.time_dId + 1).size;
    if (geo.nTime < 1) return;
    geo.TimeValue.ReDim(1, geo.nTime);
    const OcxVari& tv = ncf.vari(ncf.time_vId);
    if (!readWholeAsDouble(ncid, ncf, ncf.time_vId, geo.TimeValue.data(),
                           static_cast<std::size_t>(geo.nTime)))
        throw Refusal{typeMessage("time coodrinate", tv, "Type Number")};

    ncf.EpochDate = Date();
    ncf.timeUnit = GetToken(tv.unit, 1);
    ncf.calendar = CalendarOf(ocxGetAttVal(ncf, tv.name, "calendar"));
    Date base;
    if (UCase(GetToken(tv.unit, 2)) == "SINCE" && SinceDate(ncf.calendar, tv.unit, base))
        ncf.EpochDate = base;
    // Times written as their dates ("day as %Y%m%d.%f") are held as days, as the library
    // holds them.
    if (AbsoluteTimesToDays(ncf.calendar, tv.unit, geo.TimeValue.data(), geo.TimeValue.size(),
                            base)) {
        ncf.EpochDate = base;
        ncf.timeUnit = "days";
    }

    const std::string key = UCase(Left(ncf.timeUnit, 3));
    const double t1 = geo.TimeValue(1);
    const double tn = geo.TimeValue(geo.nTime);
    const double epoch = ncf.EpochDate.serial;
    if (key == "SEA" || key == "MON") {
        const std::string word = key == "SEA" ? "Season " : "Month ";
        ncf.StartTime = word + CStr(t1);
        ncf.endTime = word + CStr(tn);
    } else if (key == "DAY") {
        ncf.StartTime = dateText(ncf, epoch + t1);
        ncf.endTime = dateText(ncf, epoch + tn);
        // Years beyond 3000 are shown 2000 years earlier.
        Date first;
        if (ParseCalendarDate(ncf.calendar, ncf.StartTime, first) &&
            CalendarTimeOf(ncf.calendar, first).year > 3000) {
            auto rebuilt = [&](double serial) {
                const CalendarTime t = CalendarTimeOf(ncf.calendar, Date(serial));
                return BuiltDateText(static_cast<Integer>(t.year - 2000),
                                     static_cast<Integer>(t.month), static_cast<Integer>(t.day),
                                     static_cast<Integer>(t.hour), static_cast<Integer>(t.minute));
            };
            ncf.StartTime = rebuilt(epoch + t1);
            ncf.endTime = rebuilt(epoch + tn);
        }
    } else if (key == "HOU") {
        ncf.StartTime = dateText(ncf, t1 / 24 + epoch);
        ncf.endTime = dateText(ncf, tn / 24 + epoch);
    } else if (key == "MIN") {
        ncf.StartTime = dateText(ncf, t1 / 24 / 60 + epoch);
        ncf.endTime = dateText(ncf, tn / 24 / 60 + epoch);
    } else if (key == "SEC") {
        ncf.StartTime = dateText(ncf, t1 / 24 / 60 / 60 + epoch);
        ncf.endTime = dateText(ncf, tn / 24 / 60 / 60 + epoch);
    } else {
        // A warning: the axis is still read.
        errorMessage = "Time has no unit:\n\n" + tv.unit;
    }
    Date start;
    ncf.startDate = ParseCalendarDate(ncf.calendar, ncf.StartTime, start) ? start : Date();
}

// Units of an atmospheric pressure axis, whose largest pressure lies at the bottom.
bool pressureUnits(const std::string& units) {
    const std::string key = UCase(Trim(units));
    return key == "PA" || key == "HPA" || key == "KPA" || key == "MB" || key == "MBAR" ||
           key == "MILLIBAR" || key == "MILLIBARS" || key == "BAR" || key == "ATM";
}

// The sections draw the surface at the top with depth growing downward: levels counted upward
// (positive = "up", or all at or below 0 without a positive attribute) are turned round, and
// the levels are put in order from the top down, LevelIndex keeping where each lies in the file.
void orderLevels(const OcxNcf& ncf, GeoArrays& geo) {
    const Long n = geo.nvcoord;
    const std::string positive = UCase(Trim(ocxGetAttVal(ncf, ncf.vari(ncf.level_vId).name,
                                                         "positive")));
    double lo = geo.vCoord(1), hi = geo.vCoord(1);
    for (Long k = 2; k <= n; ++k) {
        lo = std::min(lo, geo.vCoord(k));
        hi = std::max(hi, geo.vCoord(k));
    }
    // Pressure grows downward whatever its positive attribute says.
    const bool pressure = pressureUnits(ocxGetAttVal(ncf, ncf.vari(ncf.level_vId).name, "units"));
    const bool upward =
        !pressure && (positive == "UP" || (positive.empty() && hi <= 0 && lo < 0));
    std::vector<std::pair<double, Long>> levels;
    for (Long k = 1; k <= n; ++k)
        levels.emplace_back(upward ? -geo.vCoord(k) : geo.vCoord(k), k);
    std::stable_sort(levels.begin(), levels.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    geo.LevelIndex.ReDim(1, n);
    for (Long k = 1; k <= n; ++k) {
        const auto& level = levels[static_cast<std::size_t>(k - 1)];
        geo.vCoord(k) = level.first == 0 ? 0.0 : level.first; // no -0 on the axis
        geo.LevelIndex(k) = level.second;
    }
}

// How the depth axis shows the levels. Pressure and dimensionless levels (sigma, s or hybrid
// coordinates) span their own range with their own unit; a depth axis starts at the surface and
// is in metres unless it names another unit.
void describeLevels(const OcxNcf& ncf, GeoArrays& geo) {
    const std::string name = ncf.vari(ncf.level_vId).name;
    const std::string units = Trim(ocxGetAttVal(ncf, name, "units"));
    const std::string key = UCase(units);
    const std::string standard = UCase(ocxGetAttVal(ncf, name, "standard_name"));
    const bool pressure = pressureUnits(units);
    const bool dimensionless = key == "1" || key == "SIGMA_LEVEL" || key == "LEVEL" ||
                               key == "LAYER" || standard.find("SIGMA") != std::string::npos ||
                               standard.find("S_COORDINATE") != std::string::npos ||
                               standard.find("HYBRID") != std::string::npos;
    geo.levelsOwnRange = pressure || dimensionless;
    if (key == "1")
        geo.levelUnits.clear();
    else
        geo.levelUnits = units.empty() && !dimensionless ? "m" : units;
}

void readLevels(int ncid, const OcxNcf& ncf, GeoArrays& geo) {
    geo.nvcoord = ncf.dime(ncf.level_dId + 1).size;
    if (geo.nvcoord < 1) return;
    geo.vCoord.ReDim(0, geo.nvcoord);
    if (!readWholeAsDouble(ncid, ncf, ncf.level_vId, geo.vCoord.data() + 1,
                           static_cast<std::size_t>(geo.nvcoord)))
        throw Refusal{typeMessage("vertical coodrinate", ncf.vari(ncf.level_vId), "Tyep Number")};
    orderLevels(ncf, geo);
    describeLevels(ncf, geo);
}

// Values of a variable laid out in file order into a grid array whose first index runs
// fastest, as the positions of a cell grid are held: file value p goes to (p mod rows + 1,
// p div rows + 1).
void layColumnMajor(const std::vector<double>& values, VArray<float>& grid) {
    const Long rows = grid.UBound(1);
    for (std::size_t p = 0; p < values.size(); ++p) {
        const Long at = static_cast<Long>(p);
        grid(at % rows + 1, at / rows + 1) = CSng(values[p]);
    }
}

// Reads a longitude or latitude variable into its grid array, through Singles when the
// longitude is stored as float and through Doubles when it is double.
void readPositions(int ncid, const OcxNcf& ncf, Long nv, Long lonType, VArray<float>& grid) {
    const OcxVari& v = ncf.vari(nv);
    checkFits(ncf, v, grid.size());
    checkInFile(ncf, nv);
    std::vector<double> values(grid.size());
    int status = NC_NOERR;
    if (lonType == NC_FLOAT) {
        std::vector<float> buffer(grid.size());
        status = nc_get_var_float(ncid, nv - 1, buffer.data());
        for (std::size_t i = 0; i < buffer.size(); ++i)
            values[i] = buffer[i];
    } else {
        status = nc_get_var_double(ncid, nv - 1, values.data());
    }
    if (status != NC_NOERR) throw NcFailure{status};
    // Positions in radians are held in degrees, as the section path and its labels are.
    if (ocxInRadians(v))
        for (double& x : values)
            x *= 180.0 / 3.14159265358979323846;
    if (grid.Rank() == 2) {
        layColumnMajor(values, grid);
        return;
    }
    for (std::size_t i = 0; i < values.size(); ++i)
        grid(static_cast<Long>(i) + 1) = CSng(values[i]);
}

Long dimSize(const OcxNcf& ncf, Long dId) {
    return ncf.dime(dId + 1).size;
}

} // namespace

Long SetGeoWindow(OcxNcf& ncf, GeoArrays& geo, std::string& errorMessage) {
    geo = GeoArrays();
    ncf.dlon = ncf.dlat = 0;
    ncf.EpochDate = ncf.startDate = Date();
    ncf.StartTime.clear();
    ncf.endTime.clear();
    ncf.timeUnit.clear();
    ncf.calendar = Calendar::Standard;
    // The file is closed however the routine ends.
    struct Closer {
        Long& ncid;
        ~Closer() { CloseNc(ncid); }
    } closer{ncf.ncid};
    try {
        if (ncf.ncid < 0) {
            ncf.ncid = OpenNc(ncf, 1);
            if (ncf.ncid < 0) return -1;
        }
        const int ncid = ncf.ncid;
        if (ncf.time_dId >= 0) readTimeAxis(ncid, ncf, geo, errorMessage);
        if (ncf.level_dId >= 0) readLevels(ncid, ncf, geo);

        const bool regular = ncf.lon_dId >= 0 && ncf.lat_dId >= 0;
        const bool cellGrid = !regular && ncf.iCell_dId >= 0 && ncf.jCell_dId >= 0;
        if (regular) {
            geo.nlon = dimSize(ncf, ncf.lon_dId);
            geo.nlat = dimSize(ncf, ncf.lat_dId);
            if (geo.nlon < 1 || geo.nlat < 1)
                throw Refusal{"[SetGeoWindow] nlon& <= 0 Or nlat& <= 0"};
            geo.LonGrid.ReDim(1, geo.nlon);
            geo.LatGrid.ReDim(1, geo.nlat);
        } else if (cellGrid) {
            geo.icells = dimSize(ncf, ncf.iCell_dId);
            geo.jcells = dimSize(ncf, ncf.jCell_dId);
            if (geo.icells < 1 || geo.jcells < 1)
                throw Refusal{"[SetGeoWindow] icells& <= 0 Or jcells& <= 0"};
            geo.LonGrid.ReDim(1, geo.jcells, 1, geo.icells);
            geo.LatGrid.ReDim(1, geo.jcells, 1, geo.icells);
        } else if (ncf.nCell_dId >= 0) {
            geo.ncells = dimSize(ncf, ncf.nCell_dId);
            if (geo.ncells < 1) throw Refusal{"ncells <= 0 "};
            geo.LonGrid.ReDim(1, geo.ncells);
            geo.LatGrid.ReDim(1, geo.ncells);
        } else if (ncf.lon_dId < 0 && ncf.lat_dId < 0 && ncf.iCell_dId < 0 && ncf.jCell_dId < 0) {
            // No horizontal coordinate at all.
            return -1;
        } else {
            throw Refusal{"[SetGeoWindow] IF Fall of: Section 1"};
        }

        const OcxVari& lon = ncf.vari(ncf.lon_vId);
        if (lon.type != NC_FLOAT && lon.type != NC_DOUBLE)
            throw Refusal{typeMessage("Geographical coodrinate(lon/lat)", lon, "Tyep Number")};
        readPositions(ncid, ncf, ncf.lon_vId, lon.type, geo.LonGrid);
        readPositions(ncid, ncf, ncf.lat_vId, lon.type, geo.LatGrid);

        if (regular) {
            // An axis crossing the date line is made increasing.
            for (Long k = 2; k <= geo.nlon; ++k)
                if (geo.LonGrid(k) - geo.LonGrid(k - 1) < 0) geo.LonGrid(k) += 360;
            ncf.dlon = CSng(
                Div(static_cast<double>(geo.LonGrid(geo.nlon) - geo.LonGrid(1)), geo.nlon - 1));
            ncf.dlat = CSng(
                Div(static_cast<double>(geo.LatGrid(geo.nlat) - geo.LatGrid(1)), geo.nlat - 1));
        }
        return 1;
    } catch (const NcFailure& f) {
        errorMessage = NcErrorText(f.status);
    } catch (const Refusal& r) {
        errorMessage = r.message;
    } catch (const RuntimeError& e) {
        errorMessage = "Error: " + CStr(static_cast<Long>(e.number())) + " " + e.description();
    }
    return -1;
}

Date ocxGetDate(const OcxNcf& ncf, const GeoArrays& geo, Long n, std::string& errorMessage) {
    try {
        const std::string key = UCase(Left(ncf.timeUnit, 3));
        const double t = geo.TimeValue(n);
        double serial = 0;
        if (key == "DAY")
            serial = ncf.EpochDate.serial + t;
        else if (key == "HOU")
            serial = t / 24 + ncf.EpochDate.serial;
        else if (key == "MIN")
            serial = t / 24 / 60 + ncf.EpochDate.serial;
        else if (key == "SEC")
            serial = t / 24 / 60 / 60 + ncf.EpochDate.serial;
        else
            return Date();
        // A date the calendar cannot show is out of range.
        CalendarTimeOf(ncf.calendar, Date(serial));
        return Date(serial);
    } catch (const RuntimeError& e) {
        errorMessage = "Error: " + CStr(static_cast<Long>(e.number())) + " " + e.description();
        return Date();
    }
}
