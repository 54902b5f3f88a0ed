#pragma once
// Every file the writers make for the user is written whole or not at all. The writer writes
// to a new temporary file in the target's folder (netCDF writers create their file over
// TempPath(), byte writers write through File()); Commit renames it over the target once every
// call, the close included, has succeeded. A failure, or an object that goes uncommitted,
// removes the temporary and leaves the target as it was: an existing file is never deleted
// first. A target that is one of the open datasets is refused before anything is written.
#include "platform/AtomicFile.h"

#include <functional>
#include <string>

// True, after a message naming the writer who, when target is the file of one of the open
// datasets (however it is spelt: the same file).
bool RefuseOpenDatasetTarget(const std::string& target, const std::string& who);

class SafeOutput {
public:
    // Starts the temporary file for target. 0, or the run-time error number of the failure
    // (70 when the target is one of the open datasets, 76 when its folder does not exist).
    int Open(const std::string& target);
    const std::string& TempPath() const { return file_.TempPath(); }
    const std::string& Target() const { return file_.Target(); }
    AtomicFile& File() { return file_; }
    // Renames the finished temporary over the target: 0 or the error number.
    int Commit() { return file_.Commit(); }
    void Abandon() { file_.Abandon(); }

    // The message of a failed Open or Commit: the writer, the target and the error's text.
    static std::string FailureText(const std::string& who, const std::string& target, int error);

    // Writes target whole or not at all: write makes the whole file at the temporary path it
    // is given, which then replaces target. True when it did; false after the message of a
    // temporary that could not be started or renamed. What write throws goes on to the caller,
    // the temporary removed.
    static bool WriteWhole(const std::string& who, const std::string& target,
                           const std::function<void(const std::string& temp)>& write);

private:
    AtomicFile file_;
};
