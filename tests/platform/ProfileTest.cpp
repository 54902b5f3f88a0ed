#include "platform/Profile.h"
#include "platform/AtomicFile.h"
#include "tests/support/TempDir.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Names in the folder, to see that no temporary file is left behind.
std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

const char* const kSample = "; settings\r\n"
                            "[Parameters]\r\n"
                            "Key1 = value one  \r\n"
                            "KEY1=second\r\n"
                            "eq=a=b=c\r\n"
                            "quoted=\"  padded \"\r\n"
                            "single='x'\r\n"
                            "unbalanced=\"abc\r\n"
                            "empty=\r\n"
                            ";commented=1\r\n"
                            "  spaced key\t=\t v w \r\n"
                            "no equals sign\r\n"
                            "\r\n"
                            "[ Other ]\r\n"
                            "key1=other\r\n"
                            "[parameters]\r\n"
                            "key1=later section\r\n";

} // namespace

TEST(Profile, ReadsValuesAsTheProfileServiceDid) {
    TempDir dir;
    const std::string ini = dir.file("a.ini");
    writeText(ini, kSample);
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"parameters", "key1", "value one"}, // case ignored, blanks trimmed, first one wins
        {"PARAMETERS", "Key1", "value one"},
        {"Parameters", "eq", "a=b=c"},         // split at the first "="
        {"Parameters", "quoted", "  padded "}, // one pair of quotes dropped, inside kept
        {"Parameters", "single", "x"},
        {"Parameters", "unbalanced", "\"abc"},
        {"Parameters", "empty", ""},        // present and empty: not the default
        {"Parameters", "commented", "DEF"}, // a comment is no key
        {"Parameters", ";commented", "DEF"},
        {"Parameters", "spaced key", "v w"}, // tabs count as blanks
        {"Parameters", "no equals sign", "DEF"},
        {"other", "KEY1", "other"},
        {"Other", "missing", "DEF"},
        {"Missing", "key1", "DEF"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetProfileString(c.section, c.key, "DEF", ini), c.expected)
            << c.section << "/" << c.key;
    EXPECT_EQ(GetProfileString("a", "b", "DEF", dir.file("none.ini")), "DEF");
    EXPECT_EQ(GetProfileString("a", "b", "DEF", dir.path().string()), "DEF"); // a folder
}

// A whole section in one read: its keys in file order, each value as the key's own read gives
// it; only the first section of a name.
TEST(Profile, ReadsAWholeSectionAsItsKeysRead) {
    TempDir dir;
    const std::string ini = dir.file("a.ini");
    writeText(ini, kSample);
    const ProfileSection keys = GetProfileSection("PARAMETERS", ini);
    const ProfileSection expected = {
        {"Key1", "value one"}, {"KEY1", "second"},      {"eq", "a=b=c"}, {"quoted", "  padded "},
        {"single", "x"},       {"unbalanced", "\"abc"}, {"empty", ""},   {"spaced key", "v w"},
    };
    EXPECT_EQ(keys, expected);
    // The second "KEY1" is the duplicate that a read of the key passes over.
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (i == 1) continue;
        EXPECT_EQ(GetProfileString("Parameters", keys[i].first, "DEF", ini), keys[i].second);
    }
    EXPECT_EQ(GetProfileSection(" other ", ini), (ProfileSection{{"key1", "other"}}));
    EXPECT_TRUE(GetProfileSection("Missing", ini).empty());
    EXPECT_TRUE(GetProfileSection("Parameters", dir.file("none.ini")).empty());
}

TEST(Profile, AcceptsLfLinesBackslashesAndCutsLongValues) {
    TempDir dir;
    const std::string ini = dir.file("lf.ini");
    const std::string longValue(3000, 'v');
    writeText(ini, "[s]\nk=1\nlong=" + longValue + "\nlast=end");
    EXPECT_EQ(GetProfileString("s", "k", "", ini), "1");
    EXPECT_EQ(GetProfileString("s", "long", "", ini), std::string(2047, 'v'));
    EXPECT_EQ(GetProfileString("s", "last", "", ini), "end"); // no line ending at the end
    std::string backslashed = ini;
    backslashed[dir.path().string().size()] = '\\';
    EXPECT_EQ(GetProfileString("s", "k", "", backslashed), "1");
}

TEST(Profile, WriteReplacesInPlaceAndKeepsEveryOtherLine) {
    TempDir dir;
    const std::string ini = dir.file("a.ini");
    writeText(ini, kSample);
    ASSERT_EQ(WriteProfileString("PARAMETERS", "key1", "new", ini), 1);
    std::string expected = kSample;
    expected.replace(expected.find("Key1 = value one  "), 18, "Key1 =new");
    EXPECT_EQ(readText(ini), expected);
    EXPECT_EQ(GetProfileString("Parameters", "KEY1", "", ini), "new");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"a.ini"});

    // An empty value is written as such and reads back as "".
    ASSERT_EQ(WriteProfileString("Parameters", "eq", "", ini), 1);
    EXPECT_NE(readText(ini).find("\r\neq=\r\n"), std::string::npos);
    EXPECT_EQ(GetProfileString("Parameters", "eq", "DEF", ini), "");
}

TEST(Profile, WriteAddsKeysAtTheEndOfTheirSectionAndSectionsAtTheEnd) {
    TempDir dir;
    const std::string ini = dir.file("b.ini");
    writeText(ini, "[one]\na=1\n\n[two]\nb=2");
    ASSERT_EQ(WriteProfileString("ONE", "c", "3", ini), 1);
    EXPECT_EQ(readText(ini), "[one]\na=1\nc=3\n\n[two]\nb=2");
    ASSERT_EQ(WriteProfileString("three", "d", "4", ini), 1);
    EXPECT_EQ(readText(ini), "[one]\na=1\nc=3\n\n[two]\nb=2\n[three]\nd=4\n");
    ASSERT_EQ(WriteProfileString("two", "e", "5", ini), 1);
    EXPECT_EQ(readText(ini), "[one]\na=1\nc=3\n\n[two]\nb=2\ne=5\n[three]\nd=4\n");
    EXPECT_EQ(GetProfileString("three", "d", "", ini), "4");
}

TEST(Profile, WriteCreatesAMissingFileWithCrLfButNotItsFolder) {
    TempDir dir;
    const std::string ini = dir.file("new.ini");
    ASSERT_EQ(WriteProfileString("parameters", "URLfile 0", "C:\\data\\a.nc", ini), 1);
    EXPECT_EQ(readText(ini), "[parameters]\r\nURLfile 0=C:\\data\\a.nc\r\n");
    EXPECT_EQ(GetProfileString("Parameters", "urlfile 0", "", ini), "C:\\data\\a.nc");

    EXPECT_EQ(WriteProfileString("s", "k", "v", dir.file("nofolder/x.ini")), 0);
    EXPECT_FALSE(fs::exists(dir.path() / "nofolder"));
}

TEST(Profile, FailedOrRefusedWritesLeaveTheFileAsItWas) {
    TempDir dir;
    const std::string ini = dir.file("a.ini");
    writeText(ini, kSample);
    // Texts that would break lines or read back differently.
    EXPECT_EQ(WriteProfileString("Parameters", "key1", "two\r\nlines", ini), 0);
    EXPECT_EQ(WriteProfileString("Parameters", "new\nkey", "v", ini), 0);
    EXPECT_EQ(WriteProfileString("Para\nmeters", "k", "v", ini), 0);
    EXPECT_EQ(WriteProfileString("Parameters", "a=b", "v", ini), 0);
    EXPECT_EQ(WriteProfileString("Parameters", "", "v", ini), 0);
    EXPECT_EQ(WriteProfileString("a]b", "k", "v", ini), 0);
    EXPECT_EQ(readText(ini), kSample);

    // A target that is a folder: the rename cannot replace it.
    fs::create_directory(dir.path() / "folder.ini");
    writeText(dir.file("folder.ini/inside"), "keep");
    EXPECT_EQ(WriteProfileString("s", "k", "v", dir.file("folder.ini")), 0);
    EXPECT_EQ(readText(dir.file("folder.ini/inside")), "keep");
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"a.ini", "folder.ini"}));
}

namespace {

mode_t modeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// Sets a file's modification time to t (seconds and nanoseconds).
void setMtime(const std::string& path, time_t sec, long nsec) {
    const struct timespec times[2] = {{0, UTIME_OMIT}, {sec, nsec}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

struct timespec mtimeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mtim;
}

// A process id that is certainly gone: a child that has ended and been reaped.
pid_t endedProcess() {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

} // namespace

// A symbolic link to the settings file stays a link; the file it names takes the write, with
// its temporary beside it and none left anywhere.
TEST(Profile, WriteGoesThroughSymbolicLinksToTheFileTheyName) {
    struct Case {
        const char* what;
        bool absolute;
        bool chained;
        bool targetExists;
    };
    const Case cases[] = {
        {"relative link", false, false, true},
        {"absolute link", true, false, true},
        {"link to a link", false, true, true},
        {"link to a file not yet made", false, false, false},
    };
    for (const Case& c : cases) {
        TempDir dir;
        fs::create_directory(dir.path() / "real");
        const std::string target = dir.file("real/Pelorin.ini");
        if (c.targetExists) writeText(target, "[s]\r\nk=old\r\n");
        const std::string linkText = c.absolute ? target : "real/Pelorin.ini";
        fs::create_symlink(linkText, dir.path() / "first.ini");
        const std::string link = c.chained ? dir.file("second.ini") : dir.file("first.ini");
        if (c.chained) fs::create_symlink("first.ini", link);

        ASSERT_EQ(WriteProfileString("s", "k", "new", link), 1) << c.what;
        EXPECT_TRUE(fs::is_symlink(dir.file("first.ini"))) << c.what;
        EXPECT_EQ(fs::read_symlink(dir.file("first.ini")).string(), linkText) << c.what;
        EXPECT_TRUE(fs::is_symlink(link)) << c.what;
        EXPECT_EQ(readText(target), "[s]\r\nk=new\r\n") << c.what;
        EXPECT_EQ(GetProfileString("s", "k", "", link), "new") << c.what;
        EXPECT_EQ(namesIn(dir.path() / "real"), std::vector<std::string>{"Pelorin.ini"})
            << c.what;
    }

    // Links in a loop name no file: nothing is written.
    TempDir dir;
    fs::create_symlink("b.ini", dir.path() / "a.ini");
    fs::create_symlink("a.ini", dir.path() / "b.ini");
    EXPECT_EQ(WriteProfileString("s", "k", "v", dir.file("a.ini")), 0);
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"a.ini", "b.ini"}));
}

TEST(Profile, WriteKeepsTheModeAndOwnerOfTheFile) {
    TempDir dir;
    const std::string ini = dir.file("a.ini");
    writeText(ini, "[s]\nk=1\n");
    ASSERT_EQ(::chmod(ini.c_str(), 0640), 0);
    // Another owner and group, where we may give them (as root).
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(ini.c_str(), 4321, 8765), 0);
    }

    ASSERT_EQ(WriteProfileString("s", "k", "2", ini), 1);
    EXPECT_EQ(modeOf(ini), 0640u);
    if (root) {
        struct stat st {};
        ASSERT_EQ(::stat(ini.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 8765u);
    }
    EXPECT_EQ(readText(ini), "[s]\nk=2\n");
}

// A file the user made read-only is not replaced, though the folder would let us (and root
// may write anything): the write fails and leaves the file, its mode and the folder as they
// were.
TEST(Profile, AReadOnlyFileIsRefusedAndLeftAsItWas) {
    TempDir dir;
    const std::string ini = dir.file("a.ini");
    writeText(ini, kSample);
    fs::create_symlink("a.ini", dir.path() / "link.ini");
    for (const mode_t mode : {0444, 0400, 0000}) {
        ASSERT_EQ(::chmod(ini.c_str(), mode), 0);
        EXPECT_EQ(WriteProfileString("Parameters", "key1", "new", ini), 0) << std::oct << mode;
        EXPECT_EQ(WriteProfileString("Parameters", "key1", "new", dir.file("link.ini")), 0);
        EXPECT_EQ(WriteProfileString("Added", "k", "v", ini), 0);
        EXPECT_EQ(modeOf(ini), mode);
        ASSERT_EQ(::chmod(ini.c_str(), 0644), 0);
        EXPECT_EQ(readText(ini), kSample);
        EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"a.ini", "link.ini"}));
    }
}

// What killed writes left in the folder goes at the next write: temporaries whose writer has
// ended. A write still running keeps its own however old, and names that are not our
// temporaries are not touched.
TEST(Profile, AWriteRemovesTheTemporariesOfKilledWrites) {
    TempDir dir;
    const std::string ini = dir.file("Pelorin.ini");
    writeText(ini, "[s]\r\nk=1\r\n");
    const std::string gone = std::to_string(endedProcess());
    const std::string running = std::to_string(::getppid());
    const time_t now = ::time(nullptr);

    struct Left {
        std::string name;
        time_t age; // seconds since it was last written
        bool removed;
    };
    const std::vector<Left> left = {
        {".Pelorin.ini.tmp-" + gone + "-a1B2c3", 0, true},        // its writer is gone
        {".subset.nc.tmp-" + gone + "-Zz9Yy8", 0, true},          // another file's, same folder
        {".Pelorin.ini.tmp-" + running + "-q1w2e3", 0, false},    // a write in progress
        {".Pelorin.ini.tmp-" + running + "-r4t5y6", 3600, false}, // idle an hour, still running
        {"Pelorin.ini.tmp-" + gone + "-a1B2c3", 120, false},      // not hidden: not ours
        {".Pelorin.ini.tmp-a1B2c3", 120, false},                  // no writer in the name
        {".Pelorin.ini.tmp-12x4-a1B2c3", 120, false},
        {".Pelorin.ini.tmp-" + gone + "-a1B2", 120, false},
        {"..tmp-" + gone + "-a1B2c3", 120, false}, // no name before the mark
    };
    for (const Left& l : left) {
        writeText(dir.file(l.name), "partial");
        setMtime(dir.file(l.name), now - l.age, 0);
    }
    // A folder with a temporary's name is not a temporary.
    const std::string folderName = ".x.ini.tmp-" + gone + "-f0f0f0";
    fs::create_directory(dir.path() / folderName);

    ASSERT_EQ(WriteProfileString("s", "k", "2", ini), 1);
    for (const Left& l : left)
        EXPECT_EQ(fs::exists(dir.path() / l.name), !l.removed) << l.name;
    EXPECT_TRUE(fs::is_directory(dir.path() / folderName));
    EXPECT_EQ(GetProfileString("s", "k", "", ini), "2");
}

// Another process's write in progress keeps its temporary however long it waits (behind a
// message box, on a slow remote read); once that process is killed, the next clean-up of the
// folder removes it.
TEST(Profile, AnotherProcesssTemporaryLivesAsLongAsItsWriter) {
    TempDir dir;
    int toParent[2], toChild[2];
    ASSERT_EQ(::pipe(toParent), 0);
    ASSERT_EQ(::pipe(toChild), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        AtomicFile f;
        if (f.Open(dir.file("subset.nc")) != 0 || f.WriteAt(0, "part", 4) != 0) ::_exit(1);
        const std::string temp = f.TempPath() + "\n";
        if (::write(toParent[1], temp.data(), temp.size()) < 0) ::_exit(1);
        char c;
        while (::read(toChild[0], &c, 1) < 0) {}
        ::_exit(0);
    }
    ::close(toParent[1]);
    std::string temp;
    char c;
    while (::read(toParent[0], &c, 1) == 1 && c != '\n')
        temp += c;
    ASSERT_FALSE(temp.empty());
    ASSERT_TRUE(fs::exists(temp));
    setMtime(temp, ::time(nullptr) - 3600, 0);

    RemoveStaleTemporaries(dir.path().string());
    ASSERT_EQ(WriteProfileString("s", "k", "v", dir.file("Pelorin.ini")), 1);
    EXPECT_TRUE(fs::exists(temp)) << "the temporary of a running writer was removed";

    ::kill(child, SIGKILL);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    ASSERT_EQ(WriteProfileString("s", "k", "w", dir.file("Pelorin.ini")), 1);
    EXPECT_FALSE(fs::exists(temp)) << "the temporary of a killed writer was kept";
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"Pelorin.ini"});
    ::close(toParent[0]);
    ::close(toChild[0]);
    ::close(toChild[1]);
}

// Two processes writing keys of their own into one settings file at the same time lose none
// of them: each write reads the file and renames its new one under the lock. Each writes 2,000
// times over keys of its own, so that every round has both creating and replacing writes; at
// the end every key holds the last value its process gave it.
TEST(Profile, WritesOfTwoProcessesAtOnceKeepEveryKey) {
    // In memory where there is such a folder: the lock is tested, not the disk's syncs.
    const fs::path shm = "/dev/shm";
    TempDir dir(::access(shm.c_str(), W_OK) == 0 ? shm : fs::temp_directory_path());
    const std::string ini = dir.file("Pelorin.ini");
    writeText(ini, "[s]\r\nstart=1\r\n");
    constexpr int kWrites = 2000, kKeys = 100;
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    std::vector<pid_t> writers;
    for (const std::string prefix : {"a", "b"}) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(go[1]);
            char c;
            // Both start when the pipe closes.
            while (::read(go[0], &c, 1) > 0) {}
            int failed = 0;
            for (int i = 0; i < kWrites; ++i)
                failed += WriteProfileString("s", prefix + std::to_string(i % kKeys),
                                             std::to_string(i), ini) != 1;
            ::_exit(failed == 0 ? 0 : 1);
        }
        writers.push_back(pid);
    }
    ::close(go[0]);
    ::close(go[1]);
    for (const pid_t pid : writers) {
        int status = -1;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a write reported failure";
    }
    EXPECT_EQ(GetProfileSection("s", ini).size(), std::size_t{2 * kKeys + 1});
    int lost = 0;
    for (const std::string prefix : {"a", "b"})
        for (int k = 0; k < kKeys; ++k)
            lost += GetProfileString("s", prefix + std::to_string(k), "", ini) !=
                    std::to_string(kWrites - kKeys + k);
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(GetProfileString("s", "start", "", ini), "1");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"Pelorin.ini"});
}

// This program's own write in progress keeps its temporary however long it has taken, and
// still completes after a settings write into the same folder.
TEST(Profile, AWriteInProgressKeepsItsTemporary) {
    TempDir dir;
    const std::string ini = dir.file("Pelorin.ini");
    AtomicFile other;
    ASSERT_EQ(other.Open(dir.file("subset.nc")), 0);
    ASSERT_EQ(other.WriteAt(0, "data", 4), 0);
    setMtime(other.TempPath(), ::time(nullptr) - 3600, 0);

    ASSERT_EQ(WriteProfileString("s", "k", "v", ini), 1);
    EXPECT_TRUE(fs::exists(other.TempPath()));
    ASSERT_EQ(other.Commit(), 0);
    EXPECT_EQ(readText(dir.file("subset.nc")), "data");
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"Pelorin.ini", "subset.nc"}));
}

// CR LF, LF and a lone CR each end a line; a write keeps the file's own line ends, for the
// lines it adds too.
TEST(Profile, LineEndsOfEveryKindAreReadAndKept) {
    for (const std::string eol : {"\r\n", "\n", "\r"}) {
        const std::string shown = eol == "\r\n" ? "CR LF" : eol == "\n" ? "LF" : "CR";
        TempDir dir;
        const std::string ini = dir.file("a.ini");
        writeText(ini, "; note" + eol + "[s]" + eol + "a=1" + eol + eol + "[t]" + eol + "b=2");
        EXPECT_EQ(GetProfileString("s", "a", "", ini), "1") << shown;
        EXPECT_EQ(GetProfileString("t", "b", "", ini), "2") << shown;
        EXPECT_EQ(GetProfileString("s", "b", "none", ini), "none") << shown;

        ASSERT_EQ(WriteProfileString("s", "a", "9", ini), 1);
        ASSERT_EQ(WriteProfileString("s", "c", "3", ini), 1);
        ASSERT_EQ(WriteProfileString("u", "d", "4", ini), 1);
        EXPECT_EQ(readText(ini), "; note" + eol + "[s]" + eol + "a=9" + eol + "c=3" + eol + eol +
                                     "[t]" + eol + "b=2" + eol + "[u]" + eol + "d=4" + eol)
            << shown;
    }

    // Mixed ends: each line ends where its own end is, and keeps it.
    TempDir dir;
    const std::string ini = dir.file("mixed.ini");
    writeText(ini, "[s]\rk1=1\r\nk2=2\nk3=3\r\r\n[t]\nx=y");
    const ProfileSection expected = {{"k1", "1"}, {"k2", "2"}, {"k3", "3"}};
    EXPECT_EQ(GetProfileSection("s", ini), expected);
    ASSERT_EQ(WriteProfileString("s", "k2", "two", ini), 1);
    EXPECT_EQ(readText(ini), "[s]\rk1=1\r\nk2=two\nk3=3\r\r\n[t]\nx=y");
}

// The parsed file is kept while the file stays the same (size, modification time to the
// nanosecond, identity) and read again after any change of them.
TEST(Profile, AFileIsReadAgainOnlyAfterItChanged) {
    TempDir dir;
    const std::string ini = dir.file("a.ini");
    writeText(ini, "[s]\nk=1\n");
    const struct timespec before = mtimeOf(ini);
    ASSERT_EQ(GetProfileString("s", "k", "", ini), "1");

    // Same size, same time, same file: an edit that the reader cannot see, and does not.
    {
        std::fstream f(ini, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(6);
        f << '2';
    }
    setMtime(ini, before.tv_sec, before.tv_nsec);
    EXPECT_EQ(GetProfileString("s", "k", "", ini), "1");
    EXPECT_EQ(GetProfileSection("s", ini), (ProfileSection{{"k", "1"}}));

    // A new time, by a nanosecond: read again.
    setMtime(ini, before.tv_sec, before.tv_nsec == 999999999 ? 0 : before.tv_nsec + 1);
    EXPECT_EQ(GetProfileString("s", "k", "", ini), "2");

    // Another file renamed over it, with the same size and time: read again.
    const struct timespec now = mtimeOf(ini);
    writeText(dir.file("other"), "[s]\nk=3\n");
    setMtime(dir.file("other"), now.tv_sec, now.tv_nsec);
    fs::rename(dir.file("other"), ini);
    EXPECT_EQ(GetProfileString("s", "k", "", ini), "3");

    // A change of size with the time kept: read again.
    writeText(ini, "[s]\nk=44\n");
    setMtime(ini, now.tv_sec, now.tv_nsec);
    EXPECT_EQ(GetProfileString("s", "k", "", ini), "44");

    // Our own write is seen at once; a file removed gives the default.
    ASSERT_EQ(WriteProfileString("s", "k", "5", ini), 1);
    EXPECT_EQ(GetProfileString("s", "k", "", ini), "5");
    fs::remove(ini);
    EXPECT_EQ(GetProfileString("s", "k", "gone", ini), "gone");
}

TEST(Profile, AFifoOrADeviceReadsAsNoFileAtOnce) {
    // Opened for reading, a FIFO would wait for a writer that never comes.
    TempDir dir;
    const std::string fifo = dir.file("fifo.ini");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero")}) {
        EXPECT_EQ(GetProfileString("a", "b", "none", path), "none") << path;
        EXPECT_TRUE(GetProfileSection("a", path).empty()) << path;
    }
}
