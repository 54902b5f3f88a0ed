// dapserve: a small DAP2 (OPeNDAP) server for the tests, on 127.0.0.1 only.
//
//   dapserve <folder> [port]
//
// Serves the netCDF files under <folder>: for http://127.0.0.1:PORT/<file>.nc the DAP2 client
// of netCDF-C asks for <file>.nc.dds, <file>.nc.das and <file>.nc.dods?<constraint>; the
// constraint may project variables and take strided hyperslabs (var[start:stride:stop]).
// Paths outside the folder (".." components, absolute paths, links leading out) are 404.
//
// Without a port, or with port 0, the system picks a free one. Either way the first line on
// stdout is "PORT <n>", written once the server listens, so a caller can start it and read
// the port before it connects:
//
//   dapserve /tmp/data 0       ->  PORT 40613
//   nc_open("http://127.0.0.1:40613/a.nc", NC_NOWRITE, &ncid)
//
// The client fetches small variables whole at their first read; "<file>.nc#noprefetch" as the
// URL makes it ask for each hyperslab instead.
//
// What a client sees besides the file's own header: the global attribute
// "DODS_EXTRA.Unlimited_Dimension" when the file has an unlimited dimension (netCDF-C rebuilds
// the unlimited dimension from it), "DODS.strlen" and "DODS.dimName" on text variables (their
// string dimension), "_Unsigned" "true" on unsigned variables (the client keeps to the classic
// types). 64-bit integer variables and variables with an empty dimension (an unlimited one
// without records) have no DAP2 form and are left out.
//
// With DAPSERVE_LOG set to a file name, every request is appended to that file as one line,
// "<method> <path>" and "?<constraint>" when there is one, before it is answered: tests count
// the requests a client makes with it.
//
// It serves until it is killed (SIGTERM) or, when its stdin is a pipe, until that pipe is
// closed: a caller that dies does not leave it running. tests/support/DapServer.h does all of
// this for the tests.
//
// For tests of clients that meet a server gone quiet, lines on that pipe steer it: "stall"
// makes it take every new connection and never answer (it holds them open, at most
// kMaxHeld); "stall data" does so for the data requests (.dods) alone, so that a dataset
// still opens; "stall body" answers data requests with their DDS and then sends nothing more;
// "drop data <seconds>" holds data requests that long and then closes them unanswered;
// "flood data" answers data requests with their DDS and then zeros, as fast as the client
// takes them, up to the 2 GiB its Content-Length declares ("flood data undeclared": the same
// without a length); "answer" closes the held connections and serves again. A stall ends by
// itself after kMaxStallSeconds, so that a client that waits for ever is not kept waiting for
// ever. "bad dds" makes the next data answer declare its first dimension as 20 digits.
//
// One request at a time, one request per connection (HTTP/1.0 style, "Connection: close").
// The netCDF->DAP2 mapping is in NcDap.cpp; libdap's server library builds the responses
// (constraint evaluation, DDS/DAS text, XDR serialisation).
#include "NcDap.h"

#include <libdap/BaseTypeFactory.h>
#include <libdap/ConstraintEvaluator.h>
#include <libdap/DODSFilter.h>
#include <libdap/Error.h>
#include <libdap/InternalErr.h>
#include <libdap/escaping.h>
#include <netcdf.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::size_t kMaxRequestHead = 64 * 1024;
const int kClientTimeoutSeconds = 10;
const std::size_t kMaxHeld = 64;
const int kMaxStallSeconds = 60;

std::FILE* requestLog = nullptr; // DAPSERVE_LOG, when set

struct NcFile {
    int id = -1;
    ~NcFile() {
        if (id >= 0) nc_close(id);
    }
};

struct Request {
    std::string method;
    std::string path;  // decoded, without the query
    std::string query; // decoded
};

const char* reasonOf(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    default:
        return "Internal Server Error";
    }
}

// A DAP2 error object as the body, with its own status line.
std::string errorResponse(int status, const std::string& message) {
    std::ostringstream body;
    libdap::Error(status == 404 ? no_such_file : unknown_error, message).print(body);
    const std::string text = body.str();
    std::ostringstream out;
    out << "HTTP/1.0 " << status << " " << reasonOf(status) << "\r\n"
        << "Content-Type: text/plain\r\n"
        << "Content-Description: dods_error\r\n"
        << "Content-Length: " << text.size() << "\r\n"
        << "Connection: close\r\n\r\n"
        << text;
    return out.str();
}

// libdap writes the status line and headers itself but leaves the end of the body to the
// closing of the connection; the length is added so that clients need not rely on that.
std::string withLength(const std::string& response) {
    const std::size_t end = response.find("\r\n\r\n");
    if (end == std::string::npos) return response;
    const std::size_t bodySize = response.size() - (end + 4);
    return response.substr(0, end + 2) + "Content-Length: " + std::to_string(bodySize) +
           "\r\nConnection: close\r\n" + response.substr(end + 2);
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The file that `rel` names inside `root` (a resolved folder), or "" when it is not a regular
// file there.
std::string resolveInside(const std::string& root, const std::string& rel) {
    if (rel.empty() || rel[0] == '/' || rel.find('\0') != std::string::npos) return "";
    std::size_t begin = 0;
    while (begin <= rel.size()) {
        std::size_t end = rel.find('/', begin);
        if (end == std::string::npos) end = rel.size();
        if (rel.compare(begin, end - begin, "..") == 0 && end - begin == 2) return "";
        begin = end + 1;
    }
    char resolved[PATH_MAX];
    if (!realpath((root + "/" + rel).c_str(), resolved)) return "";
    const std::string path = resolved;
    if (path.compare(0, root.size() + 1, root + "/") != 0) return "";
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return "";
    return path;
}

std::string respond(const std::string& root, const Request& request) {
    if (request.method != "GET" && request.method != "HEAD")
        return errorResponse(405, "Only GET is served.");
    enum { Das, Dds, Data } kind;
    std::string rel = request.path;
    if (endsWith(rel, ".das"))
        kind = Das;
    else if (endsWith(rel, ".dds"))
        kind = Dds;
    else if (endsWith(rel, ".dods"))
        kind = Data;
    else
        return errorResponse(404, "Only the .das, .dds and .dods responses are served.");
    rel.erase(rel.rfind('.'));
    if (!rel.empty() && rel[0] == '/') rel.erase(0, 1);
    const std::string file = resolveInside(root, rel);
    if (file.empty()) return errorResponse(404, "No such file: " + rel);

    NcFile nc;
    const int status = nc_open(file.c_str(), NC_NOWRITE, &nc.id);
    if (status != NC_NOERR) {
        nc.id = -1;
        return errorResponse(404, "Not a netCDF file: " + rel + ": " + nc_strerror(status));
    }
    const std::size_t slash = rel.rfind('/');
    const std::string name = slash == std::string::npos ? rel : rel.substr(slash + 1);
    try {
        libdap::DODSFilter filter;
        filter.set_dataset_name(file);
        filter.set_ce(request.query);
        std::ostringstream out;
        if (kind == Das) {
            libdap::DAS das;
            buildDas(nc.id, das);
            filter.send_das(out, das);
        } else {
            libdap::BaseTypeFactory factory;
            libdap::DDS dds(&factory, name);
            buildDds(nc.id, dds);
            libdap::ConstraintEvaluator eval;
            if (kind == Dds)
                filter.send_dds(out, dds, eval, true);
            else
                filter.send_data(dds, eval, out);
        }
        std::string response = withLength(out.str());
        if (request.method == "HEAD") response.erase(response.find("\r\n\r\n") + 4);
        return response;
    } catch (libdap::InternalErr& e) {
        return errorResponse(500, e.get_error_message());
    } catch (libdap::Error& e) {
        return errorResponse(400, e.get_error_message());
    } catch (std::exception& e) {
        return errorResponse(500, e.what());
    }
}

// Reads the request line and headers; false when the client sent no complete request.
bool readRequest(int fd, Request& request) {
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.find("\n\n") == std::string::npos) {
        if (head.size() > kMaxRequestHead) return false;
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        head.append(buffer, static_cast<std::size_t>(n));
    }
    const std::string line = head.substr(0, head.find_first_of("\r\n"));
    const std::size_t sp1 = line.find(' ');
    if (sp1 == std::string::npos) return false;
    const std::size_t sp2 = line.find(' ', sp1 + 1);
    request.method = line.substr(0, sp1);
    std::string target =
        line.substr(sp1 + 1, sp2 == std::string::npos ? std::string::npos : sp2 - sp1 - 1);
    // The absolute form, as sent to proxies.
    if (target.compare(0, 7, "http://") == 0) {
        const std::size_t slash = target.find('/', 7);
        target = slash == std::string::npos ? "/" : target.substr(slash);
    }
    const std::size_t q = target.find('?');
    request.path = libdap::www2id(target.substr(0, q));
    request.query = q == std::string::npos ? "" : libdap::www2id(target.substr(q + 1));
    return true;
}

void sendAll(int fd, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
    }
}

// Which requests a stalled server leaves unanswered, or how it misanswers them.
enum class Stall { None, All, Data, Body, Drop, Flood, FloodUndeclared };

const unsigned long long kFloodBytes = 1ull << 31;

// The status line, the headers and the DDS of a data answer, then zeros up to kFloodBytes or
// until the client goes.
void flood(int fd, const std::string& answer, bool declared) {
    const std::size_t head = answer.find("\r\n\r\n");
    const std::size_t data = answer.find("\nData:\n");
    if (head == std::string::npos || data == std::string::npos) {
        sendAll(fd, answer);
        return;
    }
    std::string lead = "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n"
                       "Content-Description: dods_data\r\n";
    if (declared) lead += "Content-Length: " + std::to_string(kFloodBytes) + "\r\n";
    lead += "Connection: close\r\n\r\n";
    const std::string dds = answer.substr(head + 4, data + 7 - (head + 4));
    sendAll(fd, lead + dds);
    const std::string zeros(1 << 16, '\0');
    for (unsigned long long sent = dds.size(); sent < kFloodBytes; sent += zeros.size()) {
        const ssize_t n = send(fd, zeros.data(), zeros.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
    }
}

// The answer with the first dimension of its DDS declared as a number of 20 digits.
std::string withHugeDimension(const std::string& answer) {
    const std::size_t eq = answer.find(" = ");
    const std::size_t close = eq == std::string::npos ? eq : answer.find(']', eq);
    const std::size_t length = answer.find("Content-Length: ");
    if (close == std::string::npos || length == std::string::npos) return answer;
    const std::string digits = "99999999999999999999";
    const std::size_t lengthEnd = answer.find("\r\n", length);
    const long long body = std::atoll(answer.c_str() + length + 16) +
                           static_cast<long long>(digits.size()) -
                           static_cast<long long>(close - (eq + 3));
    return answer.substr(0, length + 16) + std::to_string(body) +
           answer.substr(lengthEnd, eq + 3 - lengthEnd) + digits + answer.substr(close);
}

// Serves one connection; false when the request is one that the stall leaves unanswered, the
// connection then still open for the caller to hold. badDds: the data answer is to be spoilt
// (and is then no longer).
bool serveClient(int fd, const std::string& root, Stall stall, bool& badDds) {
    timeval timeout{};
    timeout.tv_sec = kClientTimeoutSeconds;
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    Request request;
    if (readRequest(fd, request)) {
        if (requestLog != nullptr) {
            std::fprintf(requestLog, "%s %s%s%s\n", request.method.c_str(), request.path.c_str(),
                         request.query.empty() ? "" : "?", request.query.c_str());
            std::fflush(requestLog);
        }
        const bool data = endsWith(request.path, ".dods");
        if ((stall == Stall::Data || stall == Stall::Drop) && data) return false;
        if ((stall == Stall::Flood || stall == Stall::FloodUndeclared) && data) {
            flood(fd, respond(root, request), stall == Stall::Flood);
            close(fd);
            return true;
        }
        if (stall == Stall::Body && data) {
            // The whole DDS of the answer, then nothing of its values.
            const std::string answer = respond(root, request);
            const std::size_t at = answer.find("\nData:\n");
            sendAll(fd, answer.substr(0, at == std::string::npos ? answer.size() / 2 : at + 7));
            return false;
        }
        if (badDds && data) {
            badDds = false;
            sendAll(fd, withHugeDimension(respond(root, request)));
        } else {
            sendAll(fd, respond(root, request));
        }
    } else {
        sendAll(fd, errorResponse(400, "Bad request."));
    }
    // Closing with unread input would reset the connection and could cost the client the
    // response: end our side, then wait for the client to close.
    shutdown(fd, SHUT_WR);
    timeout.tv_sec = 1;
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    char drain[4096];
    while (recv(fd, drain, sizeof drain, 0) > 0) {}
    close(fd);
    return true;
}

// The caller's end of our stdin going away tells us to stop; only a pipe or socket is
// watched (a terminal or /dev/null is not a caller).
bool stdinIsWatched() {
    struct stat st;
    return fstat(0, &st) == 0 && (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode));
}

int usage() {
    std::fprintf(stderr, "usage: dapserve <folder> [port]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) return usage();
    char resolved[PATH_MAX];
    struct stat st;
    if (!realpath(argv[1], resolved) || stat(resolved, &st) != 0 || !S_ISDIR(st.st_mode)) {
        std::fprintf(stderr, "dapserve: not a folder: %s\n", argv[1]);
        return 2;
    }
    const std::string root = resolved;
    long port = 0;
    if (argc == 3) {
        char* end = nullptr;
        errno = 0;
        port = std::strtol(argv[2], &end, 10);
        if (errno != 0 || end == argv[2] || *end != '\0' || port < 0 || port > 65535)
            return usage();
    }
    std::signal(SIGPIPE, SIG_IGN);
    const char* log = std::getenv("DAPSERVE_LOG");
    if (log != nullptr && *log != '\0') {
        requestLog = std::fopen(log, "a");
        if (requestLog == nullptr) {
            std::perror("dapserve: DAPSERVE_LOG");
            return 1;
        }
    }

    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0) {
        std::perror("dapserve: socket");
        return 1;
    }
    const int yes = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    if (bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(listener, 16) != 0) {
        std::perror("dapserve: bind");
        return 1;
    }
    socklen_t len = sizeof addr;
    getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
    std::printf("PORT %d\n", ntohs(addr.sin_port));
    std::fflush(stdout);

    const bool watchStdin = stdinIsWatched();
    std::string commands;
    Stall stall = Stall::None;
    using Clock = std::chrono::steady_clock;
    // Connections taken while stalling, never answered; closed at their time when dropped.
    struct Held {
        int fd;
        Clock::time_point closeAt;
    };
    std::vector<Held> held;
    auto release = [&held] {
        for (const Held& h : held)
            close(h.fd);
        held.clear();
    };
    Clock::time_point stallEnds;
    int dropSeconds = 0;
    bool badDds = false;
    for (;;) {
        int wait = -1;
        if (stall != Stall::None) {
            Clock::time_point next = stallEnds;
            for (const Held& h : held)
                next = std::min(next, h.closeAt);
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now());
            wait = static_cast<int>(std::max<long long>(0, left.count()));
        }
        pollfd fds[2] = {{listener, POLLIN, 0}, {0, POLLIN, 0}};
        if (poll(fds, watchStdin ? 2 : 1, wait) < 0) {
            if (errno == EINTR) continue;
            std::perror("dapserve: poll");
            return 1;
        }
        if (stall != Stall::None && Clock::now() >= stallEnds) {
            stall = Stall::None;
            release();
        }
        for (std::size_t i = 0; i < held.size();) {
            if (Clock::now() >= held[i].closeAt) {
                close(held[i].fd);
                held.erase(held.begin() + static_cast<std::ptrdiff_t>(i));
            } else {
                ++i;
            }
        }
        // Commands first: one written before a client connects holds for that client.
        if (watchStdin && fds[1].revents != 0) {
            char buffer[256];
            const ssize_t n = read(0, buffer, sizeof buffer);
            if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) break;
            if (n > 0) commands.append(buffer, static_cast<std::size_t>(n));
            for (std::size_t end; (end = commands.find('\n')) != std::string::npos;) {
                const std::string command = commands.substr(0, end);
                commands.erase(0, end + 1);
                if (command == "stall" || command == "stall data" || command == "stall body") {
                    stall = command == "stall"        ? Stall::All
                            : command == "stall data" ? Stall::Data
                                                      : Stall::Body;
                    stallEnds = Clock::now() + std::chrono::seconds(kMaxStallSeconds);
                } else if (command.compare(0, 10, "drop data ") == 0) {
                    stall = Stall::Drop;
                    dropSeconds =
                        std::max(0, std::min(kMaxStallSeconds, std::atoi(command.c_str() + 10)));
                    stallEnds = Clock::now() + std::chrono::seconds(kMaxStallSeconds);
                } else if (command == "flood data" || command == "flood data undeclared") {
                    stall = command == "flood data" ? Stall::Flood : Stall::FloodUndeclared;
                    stallEnds = Clock::now() + std::chrono::seconds(kMaxStallSeconds);
                } else if (command == "bad dds") {
                    badDds = true;
                } else if (command == "answer") {
                    stall = Stall::None;
                    release();
                }
            }
        }
        if (fds[0].revents & POLLIN) {
            const int client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0 &&
                (stall == Stall::All || !serveClient(client, root, stall, badDds))) {
                if (held.size() >= kMaxHeld) {
                    close(held.front().fd);
                    held.erase(held.begin());
                }
                held.push_back({client, stall == Stall::Drop
                                            ? Clock::now() + std::chrono::seconds(dropSeconds)
                                            : Clock::time_point::max()});
            }
        }
    }
    release();
    close(listener);
    return 0;
}
