#include "platform/Kovra.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/TempDir.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::size_t entriesIn(const fs::path& folder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

Long openRead(const std::string& path) {
    Long h = 0;
    EXPECT_EQ(FOpenAll(path, kOpenRead, 0, h), 0);
    EXPECT_GT(h, 0);
    return h;
}

} // namespace

TEST(Kovra, ExistTellsFilesFromFoldersAndMissingPaths) {
    TempDir dir;
    writeBytes(dir.file("f.bin"), "x");
    EXPECT_EQ(Exist(dir.file("f.bin")), kTrue);
    std::string backslashed = dir.file("f.bin");
    backslashed[dir.path().string().size()] = '\\';
    EXPECT_EQ(Exist(backslashed), kTrue);
    EXPECT_EQ(Exist(dir.path().string()), kFalse);
    EXPECT_EQ(Exist(dir.file("missing")), kFalse);
    EXPECT_EQ(Exist(""), kFalse);
}

TEST(Kovra, DayNumbers) {
    struct Case {
        const char* text;
        Long day;
    };
    const Case cases[] = {
        {"12/30/ 1899", 0},
        {"12/31/ 1899", 1},
        {"12/29/ 1899", -1},
        {"01/01/ 1900", 2},
        {"03/01/ 1900", 61}, // 1900 is no leap year
        {"02/29/ 1900", 61}, // rolls over into March
        {"01/01/ 2000", 36526},
        {"01/01/2000", 36526}, // the blank is optional
        {" 1/1/ 2000 ", 36526},
        {"02/29/ 2000", 36585}, // 2000 is a leap year
        {"03/01/ 2004", 38047},
        {"02/29/ 1600", -109512},
        {"13/01/ 1999", 36526}, // month 13: January of the next year
        {"00/15/ 2000", 36509}, // month 0: December before
        {"01/00/ 2000", 36525}, // day 0: the last day of the month before
        {"99/99/ 1999", 39240}, // 2007-03-99 = 2007-06-07
        {"01/01/ 1", -693593},
        {"12/31/ 1", -693229},
        {"01/01/ 0", -693959}, // year 0 is a leap year
        {"01/01/-1", -694324},
        {"12/31/ 9999", 2958465},
        {"", 0},
        {"abc", 0},
        {"01/01", 0},
        {"01-01- 2000", 0},
        {"001/01/ 2000", 0},
        {"01/01/ 2000x", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Date2Num(c.text), c.day) << '"' << c.text << '"';
}

TEST(Kovra, Num2DateWritesFourDigitYearsAndUndoesDate2Num) {
    struct Case {
        Long day;
        const char* text;
    };
    const Case cases[] = {
        {0, "12/30/1899"},       {-1, "12/29/1899"},       {61, "03/01/1900"},
        {36585, "02/29/2000"},   {-693593, "01/01/0001"},  {-694324, "01/01/-001"},
        {2958465, "12/31/9999"}, {2958466, "01/01/10000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Num2Date(c.day), c.text) << c.day;

    // The reader takes month, day and year by position; Date2Num of the text with the
    // caller's blank before the year comes back to the same day.
    for (Long day = -700000; day <= 3000000; day += 997) {
        const std::string text = Num2Date(day);
        ASSERT_EQ(Date2Num(text.substr(0, 6) + " " + text.substr(6)), day) << text;
        ASSERT_EQ(Date2Num(Num2Date(day + 1)) - Date2Num(text), 1) << text;
    }
}

TEST(Kovra, WritesAndReadsLittleEndianValues) {
    TempDir dir;
    const std::string path = dir.file("out.bin");
    ASSERT_EQ(FCreate(path), 0);
    EXPECT_FALSE(fs::exists(path)); // nothing appears before the file is complete
    Long h = 0;
    ASSERT_EQ(FOpenAll(path, kOpenWrite, 2, h), 0);
    ASSERT_GT(h, 0);
    const Long l = 0x01020304;
    const float f = 1.0f;
    const Integer i = -2;
    FPutT(h, l, 4);
    FPutT(h, f, 4);
    FPutT(h, i, 2);
    FPutT(h, std::string("nontide 1 2"), 10);
    struct Fixed {
        float a;
        Integer b[5];
    } fixed{10.0f, {1, 2, 0, 0, 0}};
    FPutT(h, fixed, 14); // the fixed part of a record, without the struct's padding
    std::array<Integer, 4> pairs{100, -100, 32767, -32768};
    ArrayDesc desc;
    fnAV(desc, std::span(pairs), 1);
    FPutA(h, desc, 6);
    EXPECT_EQ(FLoc(h), 40);
    EXPECT_EQ(FLof(h), 40);
    EXPECT_EQ(FEof(h), kTrue);
    FClose(h);

    const std::string expected("\x04\x03\x02\x01"
                               "\x00\x00\x80\x3f"
                               "\xfe\xff"
                               "nontide 1 "
                               "\x00\x00\x20\x41\x01\x00\x02\x00\x00\x00\x00\x00\x00\x00"
                               "\x9c\xff\xff\x7f\x00\x80",
                               40);
    EXPECT_EQ(readBytes(path), expected);
    EXPECT_EQ(entriesIn(dir.path()), 1u);

    h = openRead(path);
    Long l2 = 0;
    float f2 = 0;
    Integer i2 = 0;
    FGetT(h, l2, 4);
    FGetT(h, f2, 4);
    FGetT(h, i2, 2);
    EXPECT_EQ(l2, l);
    EXPECT_EQ(f2, f);
    EXPECT_EQ(i2, i);
    EXPECT_EQ(FLoc(h), 10);
    EXPECT_EQ(FLof(h), 40); // the length, wherever the position is
    FSeek(h, 34);
    std::array<Integer, 5> back{};
    fnAV(desc, std::span(back), 2);
    FGetA(h, desc, 6);
    EXPECT_EQ(back, (std::array<Integer, 5>{0, 0, -100, 32767, -32768}));
    EXPECT_EQ(FEof(h), kTrue);
    FSeek(h, 0);
    EXPECT_EQ(FEof(h), kFalse);
    FClose(h);
}

TEST(Kovra, CountsAreCheckedAgainstBuffersAndTheEndOfFile) {
    TempDir dir;
    const std::string path = dir.file("six.bin");
    writeBytes(path, std::string("\x01\x00\x00\x00\x02\x00", 6));
    const Long h = openRead(path);

    Integer small = 7;
    EXPECT_EQ(errorOf([&] { FGetT(h, small, 4); }), err::Subscript); // more than the variable
    EXPECT_EQ(errorOf([&] { FGetT(h, small, -1); }), err::InvalidCall);
    EXPECT_EQ(small, 7);

    Long l = 0;
    FGetT(h, l, 4);
    EXPECT_EQ(l, 1);
    EXPECT_EQ(FEof(h), kFalse);
    l = 99;
    EXPECT_EQ(errorOf([&] { FGetT(h, l, 4); }), err::InputPastEnd); // 2 bytes left
    EXPECT_EQ(l, 99);
    EXPECT_EQ(FLoc(h), 4); // a failed read does not move
    FGetT(h, small, 2);
    EXPECT_EQ(small, 2);
    EXPECT_EQ(FEof(h), kTrue);

    std::vector<float> points(3);
    ArrayDesc desc;
    fnAV(desc, std::span(points), 1);
    FSeek(h, 0);
    EXPECT_EQ(errorOf([&] { FGetA(h, desc, 12); }), err::Subscript); // 2 elements from 1 on
    EXPECT_EQ(errorOf([&] { fnAV(desc, std::span(points), 3); }), err::Subscript);
    ArrayDesc empty;
    EXPECT_EQ(errorOf([&] { FGetA(h, empty, 4); }), err::Subscript);

    EXPECT_EQ(errorOf([&] { FSeek(h, 7); }), err::InputPastEnd); // a truncated file shows
    EXPECT_EQ(errorOf([&] { FSeek(h, -1); }), err::InvalidCall);
    FSeek(h, 6);
    EXPECT_EQ(FEof(h), kTrue);
    EXPECT_EQ(errorOf([&] { FPutT(h, l, 4); }), err::PathFileAccess); // opened for reading
    FClose(h);
    EXPECT_EQ(readBytes(path).size(), 6u);
}

TEST(Kovra, BadHandlesAndFailedOpens) {
    TempDir dir;
    Long l = 0;
    EXPECT_EQ(errorOf([&] { FGetT(12345, l, 4); }), err::BadFileNumber);
    EXPECT_EQ(errorOf([&] { FSeek(12345, 0); }), err::BadFileNumber);
    EXPECT_EQ(errorOf([&] { FLoc(12345); }), err::BadFileNumber);
    EXPECT_EQ(errorOf([&] { FLof(12345); }), err::BadFileNumber);
    EXPECT_EQ(errorOf([&] { FEof(-3); }), err::BadFileNumber);
    EXPECT_EQ(errorOf([&] { FClose(12345); }), err::BadFileNumber);
    // What a failed open leaves may be closed without harm.
    EXPECT_EQ(errorOf([&] { FClose(0); }), 0);

    writeBytes(dir.file("a"), "a");
    const Long closed = openRead(dir.file("a"));
    FClose(closed);
    EXPECT_EQ(errorOf([&] { FEof(closed); }), err::BadFileNumber);

    struct Case {
        std::string path;
        Long mode;
        Long error;
    };
    fs::create_directory(dir.path() / "sub");
    // A FIFO is refused at once: opened for reading, it would wait for a writer.
    const std::string fifo = dir.file("fifo.bdm");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const Case cases[] = {
        {fifo, kOpenRead, err::PathFileAccess},
        {"/dev/zero", kOpenRead, err::PathFileAccess},
        {dir.file("missing.bdm"), kOpenRead, err::FileNotFound},
        {dir.file("nofolder/x.bdm"), kOpenRead, err::PathNotFound},
        {dir.file("sub"), kOpenRead, err::PathFileAccess},
        {dir.file("nofolder/x.bdm"), kOpenWrite, err::PathNotFound},
        {dir.file("sub"), kOpenWrite, err::PathFileAccess},
        {dir.file("a"), 7, err::InvalidCall},
    };
    for (const Case& c : cases) {
        Long h = 99;
        EXPECT_EQ(FOpenAll(c.path, c.mode, 0, h), c.error) << c.path;
        EXPECT_EQ(h, 0);
    }
    EXPECT_EQ(FCreate(dir.file("nofolder/x.bdm")), err::PathNotFound);
    EXPECT_EQ(FCreate(dir.file("sub")), err::PathFileAccess);
    EXPECT_EQ(entriesIn(dir.path()), 3u);
}

TEST(Kovra, AnUnfinishedWriteLeavesTheOldFileAndNoTemporary) {
    TempDir dir;
    const std::string path = dir.file("keep.cir");
    writeBytes(path, "old");
    Long h = 0;
    ASSERT_EQ(FOpenAll(path, kOpenWrite, 2, h), 0);
    FPutT(h, Long{42}, 4);
    EXPECT_EQ(readBytes(path), "old");
    EXPECT_EQ(entriesIn(dir.path()), 2u); // the old file and the temporary beside it
    FAbandon(h);
    EXPECT_EQ(readBytes(path), "old");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
    EXPECT_EQ(errorOf([&] { FPutT(h, Long{1}, 4); }), err::BadFileNumber);

    // The rename fails when the target has become a folder: the error shows, nothing stays.
    const std::string other = dir.file("later");
    ASSERT_EQ(FOpenAll(other, kOpenWrite, 2, h), 0);
    FPutT(h, Long{42}, 4);
    fs::create_directory(other);
    EXPECT_EQ(errorOf([&] { FClose(h); }), err::PathFileAccess);
    EXPECT_TRUE(fs::is_directory(other));
    EXPECT_EQ(entriesIn(dir.path()), 2u);
    EXPECT_EQ(errorOf([&] { FClose(h); }), err::BadFileNumber); // released all the same

    // A complete write replaces the old file and keeps its permissions.
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_EQ(FOpenAll(path, kOpenWrite, 2, h), 0);
    FPutT(h, std::string("new"), 3);
    FClose(h);
    EXPECT_EQ(readBytes(path), "new");
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(entriesIn(dir.path()), 2u);
}

TEST(Kovra, ArrayDescriptorsAddressVArraysByTheirOwnBounds) {
    TempDir dir;
    const std::string path = dir.file("points.bin");
    const float values[] = {1.5f, -2.5f, 3.5f, -4.5f};
    writeBytes(path, std::string(reinterpret_cast<const char*>(values), sizeof values));

    struct Point {
        float x, y;
    };
    VArray<Point> points(1, 3);
    ArrayDesc desc;
    fnAV(desc, points, 1);
    const Long h = openRead(path);
    FGetA(h, desc, 16);
    EXPECT_EQ(points(1).x, 1.5f);
    EXPECT_EQ(points(2).y, -4.5f);
    EXPECT_EQ(points(3).x, 0.0f);
    FSeek(h, 0);
    fnAV(desc, points, 3);
    EXPECT_EQ(errorOf([&] { FGetA(h, desc, 16); }), err::Subscript); // one element from 3 on
    FGetA(h, desc, 8);
    EXPECT_EQ(points(3).y, -2.5f);
    FClose(h);

    EXPECT_EQ(errorOf([&] { fnAV(desc, points, 0); }), err::Subscript);
    EXPECT_EQ(errorOf([&] { fnAV(desc, points, 4); }), err::Subscript);
    VArray<Point> unallocated;
    EXPECT_EQ(errorOf([&] { fnAV(desc, unallocated, 1); }), err::Subscript);
}
