// Times the start-up: the program is started as a user starts it, `Pelorin <dataset> <settings>`,
// with startup_probe loaded into it (LD_PRELOAD), which plays the first steps as fast as the
// program takes them (Load, Plot, the first field picked and drawn) and reports when each
// picture was first painted. The first map frame with the field on screen is held against the
// fastest peer viewer's first frame on this machine, 70 ms for a 180 x 90 field. The main
// window's first paint is held against the start-up of ncview (Debian's netCDF viewer, not a
// part of this project) on the same dataset, measured in the same run, run by run, to its
// first window painted; that ratio needs ncview and an X display (bench/run.sh installs ncview
// and Xvfb and runs this bench under Xvfb) and is left out, saying why, without them: when
// ncview ran and ended without a window, its exit status and the last lines it printed. A
// dataset whose time axis ncview's standard calendar cannot hold (counted from year 0) is
// shown to it with -calendar noleap.
//
// Then, in this process, the coastline of the bundled file: the first drawing (which reads the
// file) and the drawings after it, over the whole world and over a zoomed view.
//
// Usage: startup_bench [runs] [dataset] [program...]   ("" for the default dataset)
//   10 runs of the 180 x 90 sample by default, of this build's Pelorin. Several programs (other
//   builds, to compare) are started in turn, run by run, so that a machine busy with other
//   work weighs on all of them alike.
// The program shows its windows on QT_QPA_PLATFORM (offscreen when neither it nor DISPLAY is
// set).
#include "gui/Picture.h"
#include "runtime/Color.h"
#include "viewer/map/DrawCost.h"
#include "viewer/map/SharedState.h"
#include "viewer/map/gencord.h"

#include <QApplication>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr double kReferenceMs = 70.0;

double nowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double minimum(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}

// The user's settings as scripts/run.sh writes them from the template, with the bundled
// coastline; the tips notice is switched off, as a user who has read it once has it.
void writeSettings(const fs::path& target, const fs::path& coast) {
    std::ifstream in(PELORIN_SETTINGS_TEMPLATE);
    std::ofstream out(target);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("coastline 1=", 0) == 0)
            line = "coastline 1=" + coast.string();
        else if (line.rfind("ShowNote1=", 0) == 0)
            line = "ShowNote1=0";
        out << line << "\n";
    }
}

using Times = std::map<std::string, std::vector<double>>;

// Starts argv[0] with probe preloaded and reads what it prints until it ends (or a minute has
// passed). False when it could not be started or did not end well; status then holds its wait
// status (-1 when it could not be started).
// Quiet sends its standard error (a banner, font warnings) to /dev/null; Read reads it with the
// standard output.
enum class Stderr { Shown, Quiet, Read };
bool spawnWithProbe(std::vector<std::string> args, const char* probe, std::string& output,
                    Stderr errors = Stderr::Shown, int* status = nullptr) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    if (errors == Stderr::Quiet)
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    else if (errors == Stderr::Read)
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);

    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "LD_PRELOAD=", 11) != 0) env.emplace_back(*e);
    env.push_back(std::string("LD_PRELOAD=") + probe);
    char spawn[64];
    std::snprintf(spawn, sizeof spawn, "PELORIN_BENCH_SPAWN=%.3f", nowMs());
    env.emplace_back(spawn);
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, args[0].c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        std::fprintf(stderr, "cannot start %s\n", args[0].c_str());
        if (status) *status = -1;
        return false;
    }

    char buf[4096];
    const double deadline = nowMs() + 60000;
    for (;;) {
        pollfd p{fds[0], POLLIN, 0};
        const int left = static_cast<int>(deadline - nowMs());
        if (left <= 0 || poll(&p, 1, left) <= 0) {
            kill(pid, SIGKILL);
            break;
        }
        const ssize_t n = read(fds[0], buf, sizeof buf);
        if (n <= 0) break;
        output.append(buf, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    int ended = 0;
    waitpid(pid, &ended, 0);
    if (status) *status = ended;
    return WIFEXITED(ended) && WEXITSTATUS(ended) == 0;
}

// How a process ended, from its wait status.
std::string howItEnded(int status) {
    if (status == -1) return "could not be started";
    if (WIFEXITED(status)) return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return "killed by signal " + std::to_string(WTERMSIG(status)) +
               (WTERMSIG(status) == SIGKILL ? " (no window within a minute)" : "");
    return "wait status " + std::to_string(status);
}

// The last few lines a process printed, joined by " | ".
std::string lastLines(const std::string& output, std::size_t count = 3) {
    std::vector<std::string> lines;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) {
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
            line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    std::string out;
    for (std::size_t k = lines.size() > count ? lines.size() - count : 0; k < lines.size(); ++k)
        out += (out.empty() ? "" : " | ") + lines[k];
    return out.empty() ? "nothing printed" : out;
}

// One start of the program; false when it did not get through its steps.
bool runOnce(const std::string& program, const std::string& dataset, const fs::path& settings,
             Times& times) {
    std::string output;
    bool ok = spawnWithProbe({program, dataset, settings.string()}, PELORIN_STARTUP_PROBE, output);
    std::istringstream lines(output);
    std::string name;
    Times run;
    while (lines >> name) {
        std::string rest;
        std::getline(lines, rest);
        if (name == "failed" || name == "dialog") {
            std::fprintf(stderr, "run: %s%s\n", name.c_str(), rest.c_str());
            ok = ok && name != "failed";
            continue;
        }
        run[name].push_back(std::atof(rest.c_str()));
    }
    if (!ok || !run.count("field")) return false;
    for (auto& [key, values] : run)
        times[key].insert(times[key].end(), values.begin(), values.end());
    return true;
}

// The reference start-up: ncview, a netCDF viewer of its own (Debian's package ncview), started
// on the same dataset on the same X display, timed to its first window painted. Empty when it
// is not installed or there is no X display to show it on.
std::string referenceViewer() {
    if (!std::getenv("DISPLAY")) return {};
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        const fs::path candidate = fs::path(folder.empty() ? "." : folder) / "ncview";
        if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
    }
    return {};
}

// One start of the reference viewer: the time of its first window, or (ms negative) how it
// ended and the last lines it printed; calendar when those name a calendar.
struct ReferenceRun {
    double ms = -1;
    std::string failure;
    bool calendar = false;
};
ReferenceRun referenceOnce(std::vector<std::string> command, const std::string& dataset) {
    std::string output;
    int status = 0;
    command.push_back(dataset);
    spawnWithProbe(command, PELORIN_X_WINDOW_PROBE, output, Stderr::Read, &status);
    // The probe's line may follow what the viewer printed on the same line.
    const std::size_t at = output.rfind("window ");
    if (at != std::string::npos) return {std::atof(output.c_str() + at + 7), {}, false};
    return {-1, howItEnded(status) + "; its last lines: " + lastLines(output),
            output.find("alendar") != std::string::npos};
}

double secondsOf(int repeats, Picture& pic) {
    const auto t0 = std::chrono::steady_clock::now();
    for (int r = 0; r < repeats; ++r)
        DrawCoast(pic);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// The coastline over a map picture of the map window's size: the first drawing of the run and
// the later ones, over the world and over a view of the North Sea.
void coastlineDraws(const fs::path& coast) {
    ResetSharedState();
    Coast.CoastFile = coast.string();
    Coast.CoastFlag = 1;
    Coast.CoastColor = QBColor(7);
    View.Projection = 0;
    View.LonPeriod = 360;
    Picture pic(640, 480);
    View.ViewExtent = {-180, 180, -90, 90};
    if (InitMapScale(pic) != 1) return;
    const double first = secondsOf(1, pic);
    constexpr int kRepeats = 200;
    const double world = secondsOf(kRepeats, pic) / kRepeats;
    View.ViewExtent = {-5, 12, 50, 62};
    InitMapScale(pic);
    const double zoomed = secondsOf(kRepeats, pic) / kRepeats;
    std::printf("coastline %s (%ju bytes), picture 640 x 480:\n", coast.filename().c_str(),
                static_cast<std::uintmax_t>(fs::file_size(coast)));
    std::printf("  first drawing of the run (world):   %8.3f ms\n", 1000 * first);
    std::printf("  a later drawing (world):             %8.3f ms\n", 1000 * world);
    std::printf("  a later drawing (zoomed view):       %8.3f ms\n", 1000 * zoomed);
}

// The times of one program's runs, stage by stage.
void report(const std::string& program, const std::string& dataset, int done, Times& times,
            const std::vector<double>& reference, const std::string& referenceName,
            const std::string& referenceFailure) {
    std::printf("%s %s, %d runs, platform %s (median, best; ms from the process start)\n",
                program.c_str(), fs::path(dataset).filename().c_str(), done,
                std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "xcb");
    const char* stages[][2] = {
        {"loaded", "program and libraries loaded"},
        {"application", "application object made (main)"},
        {"main-window", "main window painted"},
        {"preview", "dataset loaded, preview painted"},
        {"map-window", "map and order windows painted"},
        {"field", "first field map painted"},
    };
    for (const auto& [key, text] : stages)
        std::printf("  %-34s %8.1f %8.1f\n", text, median(times[key]), minimum(times[key]));
    std::printf("  %-34s %8.1f %8.1f\n", "the same field drawn again", median(times["redraw"]),
                minimum(times["redraw"]));
    std::printf("  %-34s %8.1f %8.1f\n", "Erase (clear and coastline)", median(times["erase"]),
                minimum(times["erase"]));
    std::printf("  %-34s %8.0f\n", "shared objects at the main window", median(times["objects"]));
    const double mainWindow = median(times["main-window"]);
    if (reference.empty()) {
        const std::string why =
            !referenceFailure.empty()
                ? referenceName + " ran but showed no window: " + referenceFailure
            : std::getenv("DISPLAY") ? "ncview is not installed (bench/run.sh installs it)"
                                     : "no X display (bench/run.sh runs under Xvfb)";
        std::printf("main window shown: %.1f ms; no reference start-up: %s\n", mainWindow,
                    why.c_str());
    } else {
        const double ref = median(reference);
        std::printf(
            "main window shown: %.1f ms (best %.1f) against the first window of %s: %.1f ms "
            "(best %.1f, %zu runs): ratio %.2f\n",
            mainWindow, minimum(times["main-window"]), referenceName.c_str(), ref,
            minimum(reference), reference.size(), mainWindow / ref);
    }
    const double preview = median(times["preview"]);
    const double first = median(times["field"]);
    std::printf("first map frame (the preview: points and coastline): %.1f ms, ratio %.2f\n",
                preview, preview / kReferenceMs);
    std::printf("first field map: %.1f ms against %.0f ms: ratio %.2f\n", first, kReferenceMs,
                first / kReferenceMs);
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const std::string dataset = argc > 2 && *argv[2]
                                    ? argv[2]
                                    : (fs::path(PELORIN_SAMPLES_DIR) / "regular_2deg.nc").string();
    std::vector<std::string> programs(argv + std::min(argc, 3), argv + argc);
    if (programs.empty()) programs.emplace_back(PELORIN_PROGRAM);
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);

    char folderName[] = "/tmp/startup_bench.XXXXXX";
    if (!mkdtemp(folderName)) return 1;
    const fs::path folder = folderName;
    std::vector<Times> times(programs.size());
    std::vector<int> done(programs.size(), 0);
    const std::string viewer = referenceViewer();
    std::vector<std::string> viewerCommand{viewer};
    std::vector<double> reference;
    std::string referenceFailure;
    for (int r = 0; r < runs; ++r) {
        if (!viewer.empty()) {
            ReferenceRun ref = referenceOnce(viewerCommand, dataset);
            // ncview's standard calendar has no year 0, and ncview ends on a time axis counted
            // from it; the noleap calendar holds one.
            if (ref.calendar && viewerCommand.size() == 1) {
                viewerCommand = {viewer, "-calendar", "noleap"};
                ref = referenceOnce(viewerCommand, dataset);
            }
            if (ref.ms >= 0)
                reference.push_back(ref.ms);
            else
                referenceFailure = ref.failure;
        }
        for (std::size_t p = 0; p < programs.size(); ++p) {
            const fs::path settings = folder / "Pelorin.ini";
            writeSettings(settings, fs::path(programs[p]).parent_path() / "coasts" / "WORLD_E.bdm");
            if (runOnce(programs[p], dataset, settings, times[p])) ++done[p];
        }
    }
    fs::remove_all(folder);
    std::string referenceName = "ncview";
    for (std::size_t k = 1; k < viewerCommand.size(); ++k)
        referenceName += " " + viewerCommand[k];
    // Other work on the machine shows in the medians first.
    std::ifstream loadavg("/proc/loadavg");
    double load = 0;
    if (loadavg >> load) std::printf("load average %.2f\n", load);
    for (std::size_t p = 0; p < programs.size(); ++p) {
        if (done[p] == 0)
            std::printf("%s: no run got through\n", programs[p].c_str());
        else
            report(programs[p], dataset, done[p], times[p], reference, referenceName,
                   referenceFailure);
    }

    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    coastlineDraws(fs::path(PELORIN_PROGRAM).parent_path() / "coasts" / "WORLD_E.bdm");
    return 0;
}
