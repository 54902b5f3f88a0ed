#pragma once
// The header of a classic-format netCDF file (CDF-1, CDF-2 with 64-bit offsets, CDF-5), walked
// before netCDF-C is given the file. netCDF-C trusts the lengths a header declares: a name
// longer than NC_MAX_NAME overruns the name buffers of every caller, and a count or size that
// the file cannot hold makes it allocate gigabytes or read zeros past the end as values. The
// walk checks every length and count against the bytes the file has and keeps the data layout
// so that each read can be checked against the file's size at the time of the read.
//
// netCDF-4 (HDF5) files and URLs are not walked: netCDF-C opens them as it always has.
// The refusals it makes are kNcFileRefused, their reasons noted with NoteNcFileRefusal
// (common/NetCDF), where NcErrorText finds them.
#include "common/NetCDF.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Where one variable's values lie.
struct ClassicVar {
    int type = 0;                // the file's nc_type
    uint64_t valueBytes = 0;     // bytes of one value
    bool record = false;         // its first dimension is the record dimension
    uint64_t begin = 0;          // offset of its first value (in the first record)
    std::vector<uint64_t> shape; // dimension lengths, file order; the record one left 0
    uint64_t bytes = 0;          // bytes of its values (of one record for a record variable)
};

struct ClassicLayout {
    int version = 0;              // 1, 2 or 5
    uint64_t numrecs = 0;         // records the header declares (or that fit, when streaming)
    uint64_t headerBytes = 0;     // where the header ends
    uint64_t recordBytes = 0;     // bytes of one record of all record variables
    uint64_t neededBytes = 0;     // the file size the header implies (the last value's end)
    std::vector<ClassicVar> vars; // in variable id order
};

enum class ClassicHeaderStatus {
    NotClassic, // no classic magic: left to netCDF-C (netCDF-4 files among them)
    Valid,
    Invalid,  // why holds the reason
    NeedMore, // the header runs past the avail bytes given but not past the file's end
};

// Walks the header in bytes[0, avail) of a file of fileSize bytes (avail <= fileSize). Time is
// linear in the header's size; nothing is allocated beyond what the given bytes can describe.
// needMore (optional) gets the byte count the walk got to when it returns NeedMore. layout
// (optional) gets the data layout of a Valid header.
ClassicHeaderStatus CheckClassicHeader(const unsigned char* bytes, std::size_t avail,
                                       uint64_t fileSize, std::string& why,
                                       ClassicLayout* layout = nullptr,
                                       uint64_t* needMore = nullptr);

// Reads only as much of the local file at path as its header takes and walks it. True when
// netCDF-C may be given the file: valid, not classic, or not a readable regular file (the
// library then reports it as it does). False with message naming the file otherwise, and at
// once for a FIFO, a socket or a device, which is never opened. layout
// gets the layout of a valid classic file and is cleared for anything else.
bool CheckClassicFile(const std::string& path, std::string& message,
                      ClassicLayout* layout = nullptr);

// nc_open (nc__open when bufrsize is given) of a URL as it stands and of a local file after
// CheckClassicFile: NC_NOERR, the library's status, or kNcFileRefused. layout as in
// CheckClassicFile (cleared for a URL).
int NcOpenChecked(const std::string& path, int mode, int* ncid, ClassicLayout* layout = nullptr,
                  std::size_t* bufrsize = nullptr);

// The end (one past the last byte) of the values a read of variable varid takes: start and
// count per dimension, stride optional (null: contiguous). 0 when there is nothing to check:
// no values, an unknown variable, or a window outside a dimension or past the records the
// header declared (the library refuses that itself).
uint64_t ClassicReadEnd(const ClassicLayout& layout, int varid, const std::size_t* start,
                        const std::size_t* count, const std::ptrdiff_t* stride);

// NC_NOERR when the file at path is long enough now for the read, else kNcFileRefused with
// "the file is truncated: N of M bytes". A null layout (not a classic local file) or a file
// that cannot be looked at passes.
int CheckClassicRead(const ClassicLayout* layout, const std::string& path, int varid,
                     const std::size_t* start, const std::size_t* count,
                     const std::ptrdiff_t* stride);

// CheckClassicRead for the whole of variable varid, with the records the header declared.
int CheckClassicRead(const ClassicLayout* layout, const std::string& path, int varid);
