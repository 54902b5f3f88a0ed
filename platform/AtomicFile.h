#pragma once
// A file written whole or not at all: the bytes go to a temporary file in the target's
// folder, which Commit renames over the target once it is complete and closed without error.
// Abandon (or the destructor of an uncommitted file) removes the temporary and leaves the
// target as it was. Paths may use "\" or "/".
//
// The file keeps what the user set up: a target that is a symbolic link is written through to
// the file it names (the temporary beside that file, the link left as it is); the new file
// takes the old one's mode and, where the system lets us, its owner and group. A target whose
// mode allows no write is refused (70), even to a user such as root whom the system would let
// write. Temporaries are named ".<name>.tmp-<pid>-XXXXXX"; each Open first removes the ones
// in its folder that a killed writer left (see RemoveStaleTemporaries).
//
// Results are 0 or the run-time error number of the failure: 76 path not found, 75 access
// error (also: the target is a folder), 70 permission denied, 61 disk full.
#include <cstddef>
#include <cstdint>
#include <string>

class AtomicFile {
public:
    AtomicFile() = default;
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Starts a new file for target; the target is not touched. The temporary is empty.
    int Open(const std::string& target);
    // Writes at a byte position of the temporary. On failure the temporary is removed at once.
    int WriteAt(std::int64_t pos, const void* data, std::size_t bytes);
    // Reads back what is written; false when the bytes are not all there.
    bool ReadAt(std::int64_t pos, void* data, std::size_t bytes) const;
    // Flushes, closes and renames the temporary over the target, giving it the old file's
    // permissions (a new file gets the usual ones). On failure nothing of the temporary stays.
    int Commit();
    // Removes the temporary; the target stays as it was.
    void Abandon();

    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Target() const { return target_; }
    const std::string& TempPath() const { return temp_; }

    // The run-time error number of a failed system call's errno (write side).
    static int ErrorOfErrno(int error);
    // 0 when a file can be created at target (its folder exists; what is there, if anything,
    // is a regular file whose mode allows writing). Symbolic links are followed.
    static int CheckTarget(const std::string& target);
    // The file that a write to target replaces: target with its symbolic links followed (also
    // a link to a file not yet made); "" when the links go round in a loop.
    static std::string ResolveTarget(const std::string& target);

private:
    int fd_ = -1;
    std::string target_; // as given (native separators)
    std::string dest_;   // the file that Commit replaces: target_ with its links followed
    std::string temp_;
};

// Removes from folder the temporaries of killed writes: files named as AtomicFile names its
// temporaries whose writing process is gone (its number now another process's, started after
// the file last changed, counts as gone). A writer that still runs keeps its temporary however
// old it is. The temporaries this process is writing are never touched.
void RemoveStaleTemporaries(const std::string& folder);
