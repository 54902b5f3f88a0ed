// Opening a user-named file for reading: regular files only, refused at once otherwise, and a
// whole-file read bounded by the file's size.
#include "platform/RegularFile.h"
#include "platform/AtomicFile.h"
#include "runtime/RuntimeError.h"
#include "tests/support/TempDir.h"
#include "tests/support/Watchdog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

TEST(RegularFile, OnlyARegularFileIsOpenedAndAnythingElseRefusedAtOnce) {
    TempDir dir;
    const std::string file = dir.file("settings.ini");
    std::ofstream(file, std::ios::binary) << "[a]\r\nb=1\r\n";
    const std::string fifo = dir.file("fifo.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A socket on the file's name.
    const std::string socketPath = dir.file("s.ini");
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof addr.sun_path);
    socketPath.copy(addr.sun_path, socketPath.size());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    fs::create_directory(dir.path() / "sub");
    fs::create_symlink(kEndlessDevice, dir.path() / "zero.ini");

    struct Case {
        std::string path;
        int error;
        bool stream;
    };
    const Case cases[] = {
        {file, 0, false},
        {fifo, err::PathFileAccess, true},
        {kEndlessDevice, err::PathFileAccess, true},
        {dir.file("zero.ini"), err::PathFileAccess, true}, // a link to a device
        {socketPath, err::PathFileAccess, true},
        {dir.file("sub"), err::PathFileAccess, false},
        {dir.file("missing.ini"), err::FileNotFound, false},
        {dir.file("nofolder/x.ini"), err::PathNotFound, false},
        {file + "/x.ini", err::PathNotFound, false}, // a file where a folder should be
        {"", err::FileNotFound, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::string content = "old";
        struct stat st {};
        EXPECT_EQ(ReturnsWithin(std::chrono::seconds(1), "ReadRegularFile",
                                [&] { return ReadRegularFile(c.path, content, st); }),
                  c.error);
        EXPECT_EQ(IsStreamFile(st), c.stream);
        EXPECT_EQ(content, c.error == 0 ? "[a]\r\nb=1\r\n" : "");
        int fd = 99;
        const int e = ReturnsWithin(std::chrono::seconds(1), "OpenRegularFile",
                                    [&] { return OpenRegularFile(c.path, fd, st); });
        EXPECT_EQ(e, c.error);
        EXPECT_EQ(fd >= 0, e == 0);
        if (fd >= 0) ::close(fd);
        if (c.stream)
            EXPECT_EQ(RegularFileRefusal(c.path, e, st),
                      c.path + ": not a file but a FIFO, socket or device");
    }
    ::close(sock);
    EXPECT_EQ(RegularFileRefusal(dir.file("sub"), err::PathFileAccess, {}),
              dir.file("sub") + ": Path/File access error");
}

// A save target may be missing (it is made) or a regular file; a FIFO or a device in its place
// is no file to put a new one over.
TEST(RegularFile, ASaveTargetIsMissingOrARegularFile) {
    TempDir dir;
    const std::string fifo = dir.file("out.nc");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink(kEndlessDevice, dir.path() / "zero.nc");
    std::ofstream(dir.file("old.nc")) << "old";
    EXPECT_EQ(AtomicFile::CheckTarget(dir.file("new.nc")), 0);
    EXPECT_EQ(AtomicFile::CheckTarget(dir.file("old.nc")), 0);
    EXPECT_EQ(AtomicFile::CheckTarget(fifo), err::PathFileAccess);
    EXPECT_EQ(AtomicFile::CheckTarget(dir.file("zero.nc")), err::PathFileAccess);
    AtomicFile out;
    EXPECT_EQ(out.Open(fifo), err::PathFileAccess);
    EXPECT_TRUE(fs::is_fifo(fifo));
}

} // namespace
