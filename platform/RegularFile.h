#pragma once
// Reading a file the user named. A FIFO, socket or device in a file's place would hold an open
// until something writes to it, or give bytes without end (/dev/zero): the open never waits,
// anything but a regular file is refused at once, and a whole-file read takes no more than the
// size the file had when it was opened. Every reader of a user-named file opens it here.
// Paths are native (see NativePath).
#include <sys/stat.h>

#include <string>

// True for a FIFO, socket or character or block device.
bool IsStreamFile(const struct stat& st);

// Opens path for reading. 0 and an open descriptor when path is a regular file; else fd = -1
// and the run-time error number: 53 file not found, 76 path not found, 70 permission denied,
// 75 access error (a folder, a FIFO, a socket or a device). st holds what path is whenever it
// exists (zeroed otherwise), so that a caller can tell a stream from a folder.
int OpenRegularFile(const std::string& path, int& fd, struct stat& st);

// The whole regular file at path into content, cut at the size it had when opened. 0 or the
// error number of OpenRegularFile (57 for a read the device failed). st as OpenRegularFile.
int ReadRegularFile(const std::string& path, std::string& content, struct stat& st);
int ReadRegularFile(const std::string& path, std::string& content);

// The run-time error number of a failed open for reading of path (errno error): a missing file
// is 53 in a folder that exists, 76 otherwise.
int OpenErrorOfErrno(int error, const std::string& path);

// The message of a refusal: the path and what is wrong ("not a file but a FIFO, socket or
// device" for a stream, else the error's text).
std::string RegularFileRefusal(const std::string& path, int error, const struct stat& st);
