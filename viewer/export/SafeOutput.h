#pragma once
// Every file the writers make for the user is written whole or not at all. The writer writes
// to a new temporary file in the target's folder (netCDF writers create their file over
// TempPath(), byte writers write through File()); Commit renames it over the target once every
// call, the close included, has succeeded. A failure, or an object that goes uncommitted,
// removes the temporary and leaves the target as it was: an existing file is never deleted
// first. A target that is one of the open datasets is refused before anything is written.
#include "platform/AtomicFile.h"

#include <string>
#include <utility>

// The target of one save. Whether it is the file of one of the open datasets (however it is
// spelt: the same file) is checked here alone, and once a save: the save command claims the
// target as it takes it, so the writer it hands the target to does not ask again; a writer
// given a bare path claims it under its own name before anything else.
class SaveTarget {
public:
    // A target not claimed yet.
    SaveTarget(std::string path) : path_(std::move(path)) {} // NOLINT: a path is a target
    const std::string& Path() const { return path_; }
    bool Claimed() const { return claimed_; }
    // True when the target may be written: claimed before, or no open dataset; false, after a
    // message naming the writer who, when it is one.
    bool Claim(const std::string& who);

private:
    std::string path_;
    bool claimed_ = false;
};

class SafeOutput {
public:
    // Starts the temporary file for target. 0, or the run-time error number of the failure
    // (70 when the target was never claimed, 76 when its folder does not exist).
    int Open(const SaveTarget& target);
    const std::string& TempPath() const { return file_.TempPath(); }
    const std::string& Target() const { return file_.Target(); }
    AtomicFile& File() { return file_; }
    // Renames the finished temporary over the target: 0 or the error number.
    int Commit() { return file_.Commit(); }
    void Abandon() { file_.Abandon(); }

    // The message of a failed Open or Commit: the writer, the target and the error's text.
    static std::string FailureText(const std::string& who, const std::string& target, int error);

private:
    AtomicFile file_;
};
