#pragma once
// Values of a dataset served over OPeNDAP (DAP2), fetched for several variables in one request.
//
// netCDF-C's DAP2 client asks the server once for each variable it reads (it fetches small
// variables together at the first read, but any larger one on its own), so a set-up that reads
// a curvilinear grid's longitudes, latitudes and time axis waits for three answers besides the
// three of the header. The set-up asks once for every hyperslab it is going to read, with a
// constraint that names them all, and holds what comes back; its reads take the values from
// there and go to netCDF-C for anything the batch does not hold exactly as netCDF-C would give
// it.
#include <netcdf.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

// A hyperslab of one variable as the server sent it, in the type the client exposes.
struct DapSlab {
    nc_type type = NC_NAT;
    // Per dimension of the variable: the first index held and how many.
    std::vector<std::size_t> start, count;
    std::variant<std::vector<unsigned char>, std::vector<short>, std::vector<unsigned short>,
                 std::vector<int>, std::vector<unsigned>, std::vector<float>, std::vector<double>>
        values;
};

// The slabs a dataset holds, by netCDF variable id.
using DapSlabs = std::map<int, DapSlab>;

// The address of a dataset that netCDF-C opens over DAP2: the name without the client's
// parameters ("[...]" before the URL, "#..." after it). "" when the name is no http(s) URL,
// when it asks for DAP4, or when it carries a constraint ("?") that the client would apply to
// every request.
std::string DapDatasetUrl(const std::string& name);

// netCDF-C's DAP2 client fetches every variable of at most this many values together, at its
// first read of any of them, unless the dataset name turns that off ("noprefetch" among the
// client parameters). Values of such variables cost no request of their own.
constexpr std::size_t kDapClientPrefetchValues = 4096;
bool DapClientPrefetches(const std::string& name);

// One hyperslab to fetch: the variable's name as the server knows it.
struct DapWanted {
    int varid = -1;
    std::string name;
    std::vector<std::size_t> start, count;
};

// True for a name that a constraint can carry as it stands (letters, digits, "_" and "-").
bool DapPlainName(const std::string& name);

// The data request for wanted: "<url>.dods?a[0:1:9],b[0:1:0][0:1:3]" (brackets escaped).
std::string DapDataRequest(const std::string& url, const std::vector<DapWanted>& wanted);

// The values a data answer for wanted can hold: those of the hyperslabs, and one for each index
// of their dimensions (a grid's maps).
std::size_t DapValuesAsked(const std::vector<DapWanted>& wanted);

// The arrays of a .dods response (its DDS, "Data:", then the values in XDR) by name: a
// structure's members as "s.m", a grid by its own name for its array. Each comes with start
// empty and count its shape. False, with the reason in why, for a response that is no DataDDS,
// whose DDS declares a size that is no number or more than mostValues values in all, that
// does not hold what its DDS declares, or that holds a sequence. No input makes it throw.
bool DecodeDataDds(const std::string& body, std::map<std::string, DapSlab>& out, std::string& why,
                   std::size_t mostValues = SIZE_MAX);

// How a request went.
enum class DapGet {
    Ok,
    Failed,   // no answer that serves: an error, a refusal, a redirect to a login page
    NoAnswer, // the HTTP time-out ran out, or nothing came for the stall limit
    TooLong,  // a body longer than the limit, declared (Content-Length) or sent
};

// GET url with the HTTP settings that netCDF-C takes from its rc files (time-outs,
// credentials, certificates, cookies, proxy), the body into body. A status other than 200
// fails. A body that declares or brings more than limit bytes ends the transfer at once, and
// so does a wait of stallSeconds (0: none of its own) without any byte coming.
DapGet DapHttpGet(const std::string& url, std::string& body, std::string& why, std::size_t limit,
                  double stallSeconds = 0);

// The most bytes a data answer for wanted may take: its values at eight bytes each (the
// widest), their length words, and room for the DDS that heads it.
std::size_t DapAnswerLimit(const std::vector<DapWanted>& wanted);

// True when the server sent fewer values of a wanted hyperslab than it asked for: the header
// declared a size that the data does not have, and arrays sized by that header would be
// sized beyond what the server holds.
bool DapSlabFallsShort(const DapWanted& wanted, const DapSlab& got);

// netCDF's nc_get_vara_<type> over held slabs first: the values from the slab of varid when it
// holds the whole hyperslab and each value converts exactly as netCDF-C would convert it;
// otherwise netCDF-C reads them from ncid.
int GetVara(const DapSlabs& held, int ncid, int varid, const std::size_t* start,
            const std::size_t* count, short* out);
int GetVara(const DapSlabs& held, int ncid, int varid, const std::size_t* start,
            const std::size_t* count, int* out);
int GetVara(const DapSlabs& held, int ncid, int varid, const std::size_t* start,
            const std::size_t* count, float* out);
int GetVara(const DapSlabs& held, int ncid, int varid, const std::size_t* start,
            const std::size_t* count, double* out);
