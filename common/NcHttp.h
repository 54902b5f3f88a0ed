#pragma once
// HTTP time-outs for the OPeNDAP client of netCDF-C.
//
// netCDF-C (4.9) takes its HTTP settings from rc files that it reads once per process, at its
// first call: the file that the environment variable NCRCENV_RC names, or else .ncrc, .daprc
// and .dodsrc in the home folder (NCRCENV_HOME, else HOME) and then in the current folder, a
// later line winning over an earlier one; NCRCENV_IGNORE turns them all off. Keys are matched
// exactly, and a line "[url]KEY=VALUE" is meant for one server only. Without HTTP.TIMEOUT a
// server that takes the connection and never answers holds nc_open or a read for ever.
//
// The user's rc files are never written: when they leave a time-out unset, NCRCENV_RC is
// pointed at a file of our own that carries our time-out and then every line of theirs.
#include "runtime/Types.h"

#include <string>
#include <vector>

// Seconds; 0 where no limit is set.
struct NcHttpTimeouts {
    Long connect = 0; // HTTP.CONNECTTIMEOUT: making the connection
    Long total = 0;   // HTTP.TIMEOUT: the whole of one request, transfer included
};

// Ours, where the user's rc files set none: one request that gets no answer gives up after
// 20 s, well inside half a minute; reads that need longer can be given it in ~/.ncrc.
constexpr Long kNcConnectTimeout = 10;
constexpr Long kNcTotalTimeout = 20;

// The most seconds one call (an open, a read) may wait, over all the requests it makes with
// our own HTTP code, for a server that sends nothing: half as long again as one request may
// take (30 s with our time-out). netCDF-C's requests are bounded one by one by the time-out
// alone, the transfer included: it takes no limit on a stall across requests nor on the
// length of a body, so a server that streams a body without end holds each of its requests
// for the whole time-out.
double NcCallStallLimit(const NcHttpTimeouts& inForce);

// An rc file as netCDF-C reads it.
struct NcRcFile {
    std::string path;
    std::vector<std::string> lines;
};

// The user's rc files that netCDF-C would read in this process, read now, in its order;
// missing ones are left out. Empty when NCRCENV_IGNORE is set.
std::vector<NcRcFile> UserNcRcFiles();

// The rc text to give netCDF-C in place of the user's files: our line for each time-out that
// none of their lines sets for every server, then all their lines as they stand (ours come
// first so that a line netCDF-C cannot parse, which ends its reading of a file, cannot drop
// them). "" when theirs set both. inForce gets the time-outs that hold either way.
std::string MergedNcRc(const std::vector<NcRcFile>& user, NcHttpTimeouts& inForce);

// The folder for our own rc file: pelorin/netcdf in the user's cache folder (XDG_CACHE_HOME,
// else HOME/.cache), else pelorin-<uid>/netcdf in the temporary folder.
std::string NcRcFolder();

// Merges the user's rc files now and, when there is something to add, writes the result to a
// file of our own in folder (created, for our user only) and sets NCRCENV_RC to it. Returns the
// time-outs in force; none when NCRCENV_IGNORE is set or our file cannot be written.
NcHttpTimeouts PrepareNcHttpTimeoutsIn(const std::string& folder);

// PrepareNcHttpTimeoutsIn(NcRcFolder()) once per process; later calls return the first
// call's result. It must run before the process's first netCDF call to have any effect.
NcHttpTimeouts PrepareNcHttpTimeouts();

// The value that the rc files netCDF-C reads in this process give key for a request to url:
// the last line that sets it for every server or for a "[prefix]" that url starts with (a
// prefix without a scheme matches the host and what follows). "" when none sets it. Read
// after PrepareNcHttpTimeouts, it sees our time-outs too.
std::string NcRcValue(const std::vector<NcRcFile>& files, const std::string& key,
                      const std::string& url);

// True for a dataset name that netCDF-C opens over HTTP (http:// or https://, any case).
bool IsNcUrl(const std::string& name);
