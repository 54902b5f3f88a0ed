#pragma once
// What the tests of servers that misbehave share. netCDF-C reads its HTTP settings once per
// process, at its first call: each such binary runs with a home and a current folder of its
// own (FreshHome, with the rc file it is given), so that the user's rc files play no part, and
// makes no netCDF call of its own before the dataset object sets them.
#include "kelvadlib/IKelvad.h"
#include "tests/support/DapServer.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// "<tag>The server did not answer within N seconds: <url>", N whatever the wait was.
inline void expectNoAnswer(const std::string& message, const std::string& tag,
                           const std::string& url) {
    const std::string lead = tag + "The server did not answer within ";
    const std::string tail = " seconds: " + url;
    EXPECT_EQ(message.rfind(lead, 0), 0u) << message;
    EXPECT_TRUE(message.size() > lead.size() + tail.size() && message.ends_with(tail)) << message;
}

// A fresh home (an empty cache; rc, when given, as its .ncrc) and current folder for the
// whole process.
class FreshHome : public ::testing::Environment {
public:
    explicit FreshHome(std::string rc = "") : rc_(std::move(rc)) {}
    void SetUp() override {
        home_ = std::make_unique<TempDir>();
        old_ = std::filesystem::current_path();
        std::filesystem::current_path(home_->path());
        ::setenv("HOME", home_->path().c_str(), 1);
        for (const char* name : {"NCRCENV_RC", "NCRCENV_HOME", "NCRCENV_IGNORE", "XDG_CACHE_HOME"})
            ::unsetenv(name);
        if (!rc_.empty()) std::ofstream(home_->file(".ncrc")) << rc_;
    }
    void TearDown() override {
        std::filesystem::current_path(old_);
        home_.reset();
    }

private:
    std::string rc_;
    std::unique_ptr<TempDir> home_;
    std::filesystem::path old_;
};

// The bundled samples, served by a DAP server of the test's own. A stall ends by itself after
// a minute, should the client wait for ever.
class ServedSamples : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        data_ = new TempDir();
        const std::string command =
            std::string(MAKE_SAMPLES_PATH) + " '" + data_->path().string() + "' > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    static void TearDownTestSuite() {
        delete data_;
        data_ = nullptr;
    }

    // The first dataset object of the process sets the time-outs, before any netCDF call.
    std::unique_ptr<IKelvad> k{CreateKelvad()};
    DapServer server{DAPSERVE_PATH, data_->path().string()};
    inline static TempDir* data_ = nullptr;
};
