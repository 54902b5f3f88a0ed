#pragma once
// What the subset netCDF writers share: the checks made before any file, the file's parts in
// their order (dimensions, coordinate variables, picks, attributes, values), the one strided
// read and block write of a cut, and the failure exits with their messages. CreateNc writes
// the file of a regular grid, cell list or GMT grid, SaveBFLocal that of a boundary-fitted grid,
// and AppendNc extends a file one of them made.
#include "runtime/Types.h"
#include "runtime/VArray.h"
#include "viewer/export/SafeOutput.h"

#include <netcdf.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

class IKelvad;
class NcOut;
class NcSource;
struct PickItem;
struct SubsetDescription;

// A read through the dataset object that did not give its values; its reason is in the
// object's ErrorMessage.
struct ReadFailure : std::runtime_error {
    ReadFailure() : std::runtime_error("read failed") {}
};

// A refusal before anything is written; its message is shown.
struct Refused : std::runtime_error {
    Refused() : std::runtime_error("refused") {}
};

// "[who] Unexpected Type of 2-d constant Variable:" naming the variable and its type code.
std::string UnexpectedTypeText(const std::string& who, const std::string& name, Long type);

// The variable names a file takes, each once: a second variable of a name already taken is
// refused with a message naming the writer who.
class NameSet {
public:
    explicit NameSet(std::string who) : who_(std::move(who)) {}
    void take(const std::string& name);

private:
    std::string who_;
    std::set<std::string> names_;
};

// The checks on the description's picks that come before any file: the description's
// dimensions are its first pick's, they lie over the first pick's dimensions (the second file's by
// name and length), they have types a classic file holds and names of their own. Throws Refused
// after the message.
void CheckPicks(IKelvad& nc, const SubsetDescription& sd, const std::string& who, NameSet& names);

// The units of the main dataset's time axis as the subset files state them ("hours since
// 1990-01-01T06:00:00"); "" when the axis has no base date (the source's text is kept then).
std::string SubsetTimeUnits(IKelvad& nc);
// Units of a time axis per day, by the unit word's first three letters (DAY, HOU, MIN, SEC); 0
// for a unit of no fixed length (months, seasons) or none.
double UnitsPerDay(const std::string& unitWord);
// How a cell list's subset file holds its times: as whole numbers (type NC_INT) in the source's
// unit where every time is whole there; else in the first finer unit (hours, minutes, seconds)
// where every time is whole, or in seconds rounded while no two steps then share a value; else
// as doubles in the source's unit. The times in the file are the source's times times factor,
// rounded when whole.
struct CellTimeLayout {
    nc_type type = NC_DOUBLE;
    double factor = 1;
    std::string unitWord; // the unit word of the file's units; "" for the source's own text
};
CellTimeLayout ChooseCellTimeLayout(const std::string& unitWord, const double* times,
                                    std::size_t n);

// The window of variable v of the slot: along each of its dimensions, the first pick's cut of
// that dimension (looked up in the main dataset's ids), or the whole dimension when the first
// pick has none.
void WindowOf(IKelvad& nc, const SubsetDescription& sd, Long v, Long slot, VArray<Long>& start,
              VArray<Long>& count, VArray<Long>& stride);

// The cut of variable v of the slot through start/count/stride (1-based), read in the
// variable's own type and written into var at outStart (0-based) with the same counts, slab by
// slab: each read and write holds a bounded number of values, however large the cut. A type a
// classic file cannot hold gets its message (naming who) and no values. Throws ReadFailure or
// NcFailure.
void CopyCut(IKelvad& nc, Long v, Long slot, const VArray<Long>& start, const VArray<Long>& count,
             const VArray<Long>& stride, NcOut& out, int var,
             const std::vector<std::size_t>& outStart, const std::string& who);

// The netCDF subset file of the picks and the description, in the source's structure.
class SubsetWriter {
public:
    struct Flavour {
        std::string who = "CreateNc";
        // A boundary-fitted grid: the index dimensions "gridi" and "gridj" are called "xpos"
        // and "ypos", every dimension of the first pick is cut (so each value keeps its grid
        // point), and the longitude and latitude variables go over the same cut.
        bool boundaryFitted = false;
    };

    SubsetWriter(IKelvad& nc, const SubsetDescription& sd, Flavour flavour);
    ~SubsetWriter();

    // The checks that come before any file.
    void check();
    // Everything else, into the new file at path.
    void write(const std::string& path);

private:
    enum class Role { Lon, Lat, Time, Level, Cell, Described };
    struct Written {
        int out = -1; // id in the new file
        Long var = 0; // variable number in the main dataset
        Role role = Role::Lon;
    };

    std::vector<Written> coordinates() const;
    void defineDimensions(NcOut& out);
    std::vector<Written> defineCoordinates(NcOut& out);
    std::vector<int> definePicks(NcOut& out);
    void writeCoordinate(NcOut& out, const Written& w);
    nc_type typeOf(Role role, nc_type own) const;
    // The layout of the times of a cell list's file, chosen from the cut's times.
    CellTimeLayout cellTimes() const;
    std::vector<int> dimsOf(Long v, Long slot) const;
    void message(const std::string& text) const;

    IKelvad& nc_;
    const SubsetDescription& sd_;
    Flavour flavour_;
    std::unique_ptr<NcSource> sources_[3];
    // How the time axis is written: doubles, or for a cell list as cellTimes() chose at the
    // start of write().
    CellTimeLayout times_;
};

// A subset file at target for the description and its picks, as the flavour writes it, whole or
// not at all: the target refused when it is an open dataset, the writer's checks, then warn
// (when given) and the file. 1 when written, -1 after the failure's message.
Long WriteSubsetFile(SaveTarget target, const SubsetDescription& sd,
                     const SubsetWriter::Flavour& flavour, const std::function<void()>& warn = {});

// Writes the file at target (claimed) whole or not at all: body writes it at the path of a
// temporary file beside target (with fromCopy, a copy of target to be changed), which then
// replaces target. 1 when it did; -1 after the message when the temporary could not be made or
// put in place. A failure inside body leaves target as it was and goes on to the caller.
Long WriteWhole(const SaveTarget& target, const std::string& who,
                const std::function<void(const std::string&)>& body, bool fromCopy = false);

// The global attributes of a subset file after its own: those of the main dataset (main, as it
// stands), "origin1" (and "origin2" when a second file is open) naming the sources, and the cut
// of each dimension of the first pick.
void PutSubsetGlobals(NcOut& out, const NcSource& main, IKelvad& nc, const SubsetDescription& sd);

// Closes the datasets of the description's picks (the next read reopens them): the first
// pick's, and the second pick's when it is of a later dataset.
void ClosePickDatasets(IKelvad& nc, const SubsetDescription& sd);

// Runs a writer: body's result, or -1 after the failure's message (a netCDF failure in a box
// titled "NetCDF Error", a failed read with the dataset object's reason and the report titled
// who, a refusal's own message). The datasets of the description's picks are closed on every
// way out.
enum class ReportForm {
    ErrorMessage, // "Error message (number n)is:" ...
    Error,        // "Error(n):" ...
};
Long RunSubsetWriter(IKelvad& nc, const SubsetDescription& sd, const std::string& who,
                     ReportForm form, const std::function<Long()>& body);
