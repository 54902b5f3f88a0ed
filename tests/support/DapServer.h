#pragma once
// tools/dapserve run as a child process over a folder, for tests that open datasets by URL:
//
//   DapServer server(DAPSERVE_PATH, dir.path().string());
//   nc_open(server.url("a.nc").c_str(), NC_NOWRITE, &ncid);   // http://127.0.0.1:PORT/a.nc
//
// The test binary gets the server's path from CMake:
//   target_compile_definitions(<test> PRIVATE DAPSERVE_PATH="$<TARGET_FILE:dapserve>")
//   add_dependencies(<test> dapserve)
//
// netCDF-C's client fetches small variables whole at their first read; a URL ending in
// "#noprefetch" (server.url("a.nc#noprefetch")) makes it ask the server for each hyperslab.
//
// The server listens on a free port of 127.0.0.1 and reports it on its first line. The
// destructor stops it; should the test process die instead, the server sees its stdin pipe
// close and stops by itself.
//
// stall() makes it take every new connection and never answer, as a server that has hung
// does; stallData() does so for data requests alone, so that datasets still open; stallBody()
// answers data requests with their DDS and then stalls; dropData(s) holds data requests s
// seconds and then closes them unanswered; floodData() answers data requests with their DDS
// and then 2 GiB of zeros, declared as such (floodData(false): without a declared length);
// answer() drops those connections and serves again. A stall ends by itself after a minute.
// badDds() spoils the next data answer alone: its DDS declares a dimension of 20 digits.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <string>

extern char** environ;

class DapServer {
public:
    DapServer(const std::string& program, const std::string& folder) {
        int in[2] = {-1, -1}, out[2] = {-1, -1};
        // Close-on-exec, so that no other child keeps the server alive.
        if (pipe2(in, O_CLOEXEC) != 0) throw std::runtime_error("DapServer: pipe failed");
        if (pipe2(out, O_CLOEXEC) != 0) {
            close(in[0]);
            close(in[1]);
            throw std::runtime_error("DapServer: pipe failed");
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        const std::string port = "0";
        char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(folder.c_str()),
                        const_cast<char*>(port.c_str()), nullptr};
        const int rc = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        stdin_ = in[1];
        if (rc != 0) {
            pid_ = -1;
            close(out[0]);
            close(stdin_);
            throw std::runtime_error("DapServer: cannot start " + program);
        }
        const std::string line = readLine(out[0]);
        close(out[0]);
        if (line.compare(0, 5, "PORT ") != 0) {
            stop();
            throw std::runtime_error("DapServer: no port from " + program + " (\"" + line + "\")");
        }
        port_ = std::stoi(line.substr(5));
    }
    ~DapServer() { stop(); }
    DapServer(const DapServer&) = delete;
    DapServer& operator=(const DapServer&) = delete;

    int port() const { return port_; }
    void stall() { command("stall\n"); }
    void stallData() { command("stall data\n"); }
    void stallBody() { command("stall body\n"); }
    void dropData(int seconds) { command("drop data " + std::to_string(seconds) + "\n"); }
    void floodData(bool declared = true) {
        command(declared ? "flood data\n" : "flood data undeclared\n");
    }
    void badDds() { command("bad dds\n"); }
    void answer() { command("answer\n"); }
    // The URL of a file of the folder: http://127.0.0.1:PORT/<file>.
    std::string url(const std::string& file) const {
        return "http://127.0.0.1:" + std::to_string(port_) + "/" + file;
    }

private:
    // The server reads its commands before it takes the next connection.
    void command(const std::string& line) {
        std::size_t sent = 0;
        while (sent < line.size()) {
            const ssize_t n = write(stdin_, line.data() + sent, line.size() - sent);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) throw std::runtime_error("DapServer: the server has gone");
            sent += static_cast<std::size_t>(n);
        }
    }
    // The first line of the server's output, waiting at most 20 seconds (sanitised builds
    // start slowly); "" if it ends or says nothing.
    static std::string readLine(int fd) {
        std::string line;
        char c = 0;
        for (;;) {
            pollfd p{fd, POLLIN, 0};
            const int ready = poll(&p, 1, 20000);
            if (ready < 0 && errno == EINTR) continue;
            if (ready <= 0) return line;
            const ssize_t n = read(fd, &c, 1);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0 || c == '\n') return line;
            line += c;
        }
    }
    void stop() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {}
            pid_ = -1;
        }
        if (stdin_ >= 0) {
            close(stdin_);
            stdin_ = -1;
        }
    }

    pid_t pid_ = -1;
    int stdin_ = -1;
    int port_ = 0;
};
