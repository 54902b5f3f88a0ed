// netCDF's HTTP time-outs: which rc files of the user count, what our own rc file carries, and
// that the user's files are never written. (That netCDF-C then gives up on a server that does
// not answer is tested in tests/kelvadlib/http, in a process of its own.)
#include "common/NcHttp.h"
#include "tests/support/TempDir.h"
#include "tests/support/Watchdog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

const char* const kVars[] = {"HOME", "NCRCENV_RC", "NCRCENV_HOME", "NCRCENV_IGNORE"};

// The rc variables and the current folder as a test sets them, put back afterwards.
class RcEnvironment {
public:
    RcEnvironment() : cwd_(fs::current_path()) {
        for (const char* name : kVars) {
            const char* value = std::getenv(name);
            saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
            ::unsetenv(name);
        }
    }
    ~RcEnvironment() {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
        fs::current_path(cwd_);
    }
    RcEnvironment(const RcEnvironment&) = delete;
    RcEnvironment& operator=(const RcEnvironment&) = delete;

    static void set(const char* name, const std::string& value) {
        ::setenv(name, value.c_str(), 1);
    }
    static std::string get(const char* name) {
        const char* value = std::getenv(name);
        return value ? value : "";
    }

private:
    fs::path cwd_;
    std::map<std::string, std::optional<std::string>> saved_;
};

void writeText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> filesIn(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec))
        names.push_back(e.path().filename().string());
    return names;
}

std::vector<std::string> pathsOf(const std::vector<NcRcFile>& files) {
    std::vector<std::string> paths;
    for (const NcRcFile& f : files)
        paths.push_back(f.path);
    return paths;
}

} // namespace

TEST(NcHttp, OurTimeOutsGoFirstAndOnlyWhereTheUserSetsNone) {
    const std::string ours = "HTTP.CONNECTTIMEOUT=10\n";
    const std::string oursTotal = "HTTP.TIMEOUT=20\n";
    struct Case {
        const char* what;
        std::vector<std::vector<std::string>> files; // the lines of each user file
        std::string added;                           // our lines, or "-" for no file at all
        Long connect, total;                         // in force
    };
    const Case cases[] = {
        {"no rc file", {}, ours + oursTotal, 10, 20},
        {"other settings only",
         {{"HTTP.VERBOSE=1", "HTTP.PROXY.SERVER=http://p:8080"}},
         ours + oursTotal,
         10,
         20},
        {"both set", {{"HTTP.TIMEOUT=300", "HTTP.CONNECTTIMEOUT=30"}}, "-", 30, 300},
        {"one set", {{"HTTP.TIMEOUT=300"}}, ours, 10, 300},
        {"set in different files", {{"HTTP.CONNECTTIMEOUT=5"}, {"HTTP.TIMEOUT=60"}}, "-", 5, 60},
        {"a later file wins",
         {{"HTTP.TIMEOUT=5", "HTTP.CONNECTTIMEOUT=5"}, {"HTTP.TIMEOUT=60"}},
         "-",
         5,
         60},
        {"blanks around key and value",
         {{"  HTTP.TIMEOUT = 45 ", "\tHTTP.CONNECTTIMEOUT=7\r"}},
         "-",
         7,
         45},
        // netCDF-C takes an empty or missing value as 0: the user asked for no limit.
        {"no limit asked for", {{"HTTP.TIMEOUT", "HTTP.CONNECTTIMEOUT="}}, "-", 0, 0},
        // These do not set it for every server, or not at all.
        {"comment", {{"# HTTP.TIMEOUT=5", "#HTTP.CONNECTTIMEOUT=5"}}, ours + oursTotal, 10, 20},
        {"one server only",
         {{"[http://slow.example:8080/]HTTP.TIMEOUT=600"}},
         ours + oursTotal,
         10,
         20},
        {"key in lower case", {{"http.timeout=5"}}, ours + oursTotal, 10, 20},
    };
    for (const Case& c : cases) {
        std::vector<NcRcFile> user;
        std::string theirs;
        for (std::size_t i = 0; i < c.files.size(); ++i) {
            user.push_back({"/u/rc" + std::to_string(i), c.files[i]});
            theirs += "# /u/rc" + std::to_string(i) + "\n";
            for (const std::string& line : c.files[i])
                theirs += line + "\n";
        }
        NcHttpTimeouts inForce{-1, -1};
        const std::string text = MergedNcRc(user, inForce);
        if (std::string(c.added) == "-") {
            EXPECT_EQ(text, "") << c.what;
        } else {
            // A comment, our lines, then every line of theirs in netCDF's order.
            const auto firstLine = text.find('\n') + 1;
            EXPECT_EQ(text[0], '#') << c.what;
            EXPECT_EQ(text.substr(firstLine), c.added + theirs) << c.what;
        }
        EXPECT_EQ(inForce.connect, c.connect) << c.what;
        EXPECT_EQ(inForce.total, c.total) << c.what;
    }
    // Whatever we add keeps a stalled request well within half a minute.
    EXPECT_LE(kNcTotalTimeout, 25);
    EXPECT_LE(kNcConnectTimeout, kNcTotalTimeout);
}

TEST(NcHttp, TheUsersRcFilesAreThoseNetcdfReads) {
    RcEnvironment env;
    TempDir home, work, other;
    fs::current_path(work.path());
    RcEnvironment::set("HOME", home.path().string());
    EXPECT_TRUE(UserNcRcFiles().empty());

    writeText(home.path() / ".dodsrc", "HTTP.VERBOSE=1\n");
    writeText(home.path() / ".ncrc", "HTTP.TIMEOUT=30\r\nHTTP.DEFLATE=1\n");
    writeText(work.path() / ".ncrc", "HTTP.TIMEOUT=40\n");
    writeText(work.path() / ".daprc", "");
    writeText(other.path() / ".ncrc", "HTTP.TIMEOUT=50\n");
    // Home before the current folder, .ncrc, .daprc and .dodsrc in that order.
    const auto found = UserNcRcFiles();
    EXPECT_EQ(pathsOf(found), (std::vector<std::string>{(home.path() / ".ncrc").string(),
                                                        (home.path() / ".dodsrc").string(),
                                                        (fs::current_path() / ".ncrc").string(),
                                                        (fs::current_path() / ".daprc").string()}));
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0].lines, (std::vector<std::string>{"HTTP.TIMEOUT=30", "HTTP.DEFLATE=1"}));
    EXPECT_TRUE(found[3].lines.empty());

    // NCRCENV_HOME stands for the home folder.
    RcEnvironment::set("NCRCENV_HOME", other.path().string());
    EXPECT_EQ(UserNcRcFiles().front().path, (other.path() / ".ncrc").string());
    // NCRCENV_RC names the one file read.
    RcEnvironment::set("NCRCENV_RC", (home.path() / ".dodsrc").string());
    EXPECT_EQ(pathsOf(UserNcRcFiles()),
              (std::vector<std::string>{(home.path() / ".dodsrc").string()}));
    // A FIFO or a device named there is no rc file: passed over at once.
    const std::string fifo = (home.path() / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string(kEndlessDevice)}) {
        SCOPED_TRACE(path);
        RcEnvironment::set("NCRCENV_RC", path);
        EXPECT_TRUE(ReturnsWithin(std::chrono::seconds(1), "UserNcRcFiles", [] {
                        return UserNcRcFiles();
                    }).empty());
    }
    // NCRCENV_IGNORE turns them all off.
    RcEnvironment::set("NCRCENV_IGNORE", "1");
    EXPECT_TRUE(UserNcRcFiles().empty());
}

TEST(NcHttp, OurOwnRcFileCarriesTheUsersLinesAndLeavesTheirsAlone) {
    RcEnvironment env;
    TempDir home, work, cache;
    fs::current_path(work.path());
    RcEnvironment::set("HOME", home.path().string());
    const std::string theirs = "HTTP.TIMEOUT=120\nHTTP.CREDENTIALS.USERNAME=me\n";
    const fs::path ncrc = home.path() / ".ncrc";
    writeText(ncrc, theirs);
    const fs::path folder = cache.path() / "pelorin" / "netcdf";

    const NcHttpTimeouts t = PrepareNcHttpTimeoutsIn(folder.string());
    EXPECT_EQ(t.connect, kNcConnectTimeout);
    EXPECT_EQ(t.total, 120);
    const std::string ours = RcEnvironment::get("NCRCENV_RC");
    ASSERT_EQ(fs::path(ours).parent_path(), folder);
    const std::string text = readText(ours);
    EXPECT_NE(text.find("HTTP.CONNECTTIMEOUT=10\n# " + ncrc.string() + "\n" + theirs),
              std::string::npos)
        << text;
    EXPECT_EQ(readText(ncrc), theirs);
    // It may hold the user's passwords: the folder is for our user alone.
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // Again in the same process (or in a program started from it): our file is now the rc
    // file, and it sets both.
    const NcHttpTimeouts again = PrepareNcHttpTimeoutsIn(folder.string());
    EXPECT_EQ(again.connect, kNcConnectTimeout);
    EXPECT_EQ(again.total, 120);
    EXPECT_EQ(RcEnvironment::get("NCRCENV_RC"), ours);
    EXPECT_EQ(filesIn(folder).size(), 1u);

    // A user whose files set both keeps them: nothing is written, NCRCENV_RC stays unset.
    ::unsetenv("NCRCENV_RC");
    fs::remove_all(folder);
    writeText(ncrc, "HTTP.TIMEOUT=120\nHTTP.CONNECTTIMEOUT=60\n");
    const NcHttpTimeouts kept = PrepareNcHttpTimeoutsIn(folder.string());
    EXPECT_EQ(kept.connect, 60);
    EXPECT_EQ(kept.total, 120);
    EXPECT_EQ(RcEnvironment::get("NCRCENV_RC"), "");
    EXPECT_FALSE(fs::exists(folder));

    // With the rc files turned off there is nothing netCDF would read.
    RcEnvironment::set("NCRCENV_IGNORE", "");
    writeText(ncrc, "");
    const NcHttpTimeouts none = PrepareNcHttpTimeoutsIn(folder.string());
    EXPECT_EQ(none.connect, 0);
    EXPECT_EQ(none.total, 0);
    EXPECT_EQ(RcEnvironment::get("NCRCENV_RC"), "");
    EXPECT_FALSE(fs::exists(folder));
}

TEST(NcHttp, UrlsAndTheFolderOfOurFile) {
    for (const char* url : {"http://h/x.nc", "HTTPS://h/x.nc", "Http://h"})
        EXPECT_TRUE(IsNcUrl(url)) << url;
    for (const char* name :
         {"", "/data/http://x.nc", "x.nc", "file:///x.nc", "http:/x", " http://h"})
        EXPECT_FALSE(IsNcUrl(name)) << name;

    RcEnvironment env;
    const char* cache = std::getenv("XDG_CACHE_HOME");
    const std::optional<std::string> savedCache =
        cache ? std::optional<std::string>(cache) : std::nullopt;
    ::unsetenv("XDG_CACHE_HOME");
    RcEnvironment::set("HOME", "/home/u");
    EXPECT_EQ(NcRcFolder(), "/home/u/.cache/pelorin/netcdf");
    RcEnvironment::set("XDG_CACHE_HOME", "/var/c");
    EXPECT_EQ(NcRcFolder(), "/var/c/pelorin/netcdf");
    ::unsetenv("XDG_CACHE_HOME");
    ::unsetenv("HOME");
    EXPECT_EQ(fs::path(NcRcFolder()).filename(), "netcdf");
    EXPECT_EQ(fs::path(NcRcFolder()).parent_path().filename().string().rfind("pelorin-", 0), 0u);
    if (savedCache) RcEnvironment::set("XDG_CACHE_HOME", *savedCache);
}

TEST(NcHttp, ASettingForOneUrlComesFromEveryServersLinesAndItsOwn) {
    const std::vector<NcRcFile> files = {
        {"/home/u/.ncrc",
         {"HTTP.SSL.VERIFYPEER=1", "[http://data.example:8080/thredds]HTTP.SSL.VERIFYPEER=0",
          "[other.example]HTTP.NETRC=/home/u/.netrc", "# HTTP.USERAGENT=x"}},
        {"/work/.dodsrc", {"HTTP.USERAGENT = pelorin "}},
    };
    const std::string thredds = "http://data.example:8080/thredds/dodsC/a.nc";
    EXPECT_EQ(NcRcValue(files, "HTTP.SSL.VERIFYPEER", thredds), "0");
    EXPECT_EQ(NcRcValue(files, "HTTP.SSL.VERIFYPEER", "http://data.example/a.nc"), "1");
    // A prefix without its scheme matches the host.
    EXPECT_EQ(NcRcValue(files, "HTTP.NETRC", "https://other.example/a.nc"), "/home/u/.netrc");
    EXPECT_EQ(NcRcValue(files, "HTTP.NETRC", thredds), "");
    EXPECT_EQ(NcRcValue(files, "HTTP.USERAGENT", thredds), "pelorin");
    EXPECT_EQ(NcRcValue(files, "HTTP.PROXY.SERVER", thredds), "");
}
