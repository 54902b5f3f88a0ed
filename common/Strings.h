#pragma once
// Settings file access, path and name parts, tokens and words, file tests. Paths may use "\"
// or "/" as the folder separator.
#include "runtime/Types.h"
#include <string>
#include <string_view>
#include <vector>

// True once the user has asked PutString to stop reporting failed writes (Yes in its box);
// it lasts for the run.
bool PutMessagesSuppressed();
// Reports failed writes again, as at start-up (tests run several start-ups in one process).
void ResetPutMessages();

// The value of key in section of the settings file, "" when missing, empty or unreadable.
std::string GetString(const std::string& key, const std::string& section, const std::string& file);
// Writes value under key in section of the settings file. A failed write is reported in a
// box (Yes suppresses further reports); the caller is not told.
void PutString(const std::string& key, const std::string& section, const std::string& file,
               const std::string& value);
// A whole-number setting's text: its leading number to the nearest whole number, halves to
// even; no number, or one beyond a Long, reads as 0 (the key's own rule then applies).
Long SettingLongOf(const std::string& text);

// The text before the last separator; "" when the path is blank or holds none.
std::string FolderOf(const std::string& path);
// Trims the caller's path, then gives the text before its last separator in upper case ("" when
// there is none).
std::string GetFolderUpper(std::string& path);
// The last component cut before its first ".", trimmed; the whole path when that component holds
// no "."; "" for a blank path.
std::string FileNameOf(const std::string& path);
// The last component from after its first "." to its end, trimmed; "" when it holds no ".".
std::string FileExtensionOf(const std::string& path);
// name up to and including the first "." of its last component, trimmed, followed by
// extension; name & "." & extension when that component holds no ".". A URL has no derived
// file name: "".
std::string ChangeExtension(const std::string& name, const std::string& extension);

// True when text (leading blanks aside) is a URL rather than a file path: a scheme of two or
// more characters followed by "://" ("http://", "https://", "dods://", "file://", ...), also
// behind netCDF-C's bracketed prefixes ("[mode=dap2]http://host/a.nc"). The one test of "URL
// or file" of the program.
bool IsURL(const std::string& text);
// True when the two paths name the same file: the same file found through each (another
// spelling, "\" or "/", "." and "..", a link, letter case where the file system ignores it),
// or, for files that do not exist, the same absolute path once the existing folders in it are
// resolved. A blank path or a URL names no file.
bool SameFile(const std::string& a, const std::string& b);

// Length of the n-th token counted from position end + 1 (callers pass start = end = 0);
// start and end receive the 1-based first and last position of each token passed. 0 when
// there is no n-th token. The separator is chosen from the searched part: tab when it holds
// one, else ";", else ",", else the blank. Separators in a row count as one.
Long FindToken(const std::string& text, Long n, Long& start, Long& end);
// As FindToken with the blank as the only separator.
Long FindWord(const std::string& text, Long n, Long& start, Long& end);
// The n-th token; "" when there is none.
std::string GetToken(const std::string& text, Long n);
// The Val form of the n-th token; 0 when there is none.
double GetTokenValue(const std::string& text, Long n);
// The Val form of the n-th blank-separated word; 0 when there is none.
double GetWord(const std::string& text, Long n);
// The number of tokens before the first line break.
Long CountTokens(const std::string& text);
// Every token in one pass: GetToken(text, 1), GetToken(text, 2), ... up to the last, as views
// into text (which must outlive them).
std::vector<std::string_view> Tokens(const std::string& text);
std::vector<std::string_view> Tokens(std::string&&) = delete;
// The words of a list in one pass: GetToken(text, i) for i = 1 to CountTokens(text).
std::vector<std::string_view> ListTokens(const std::string& text);
std::vector<std::string_view> ListTokens(std::string&&) = delete;
// True when the two texts are equal once both are upper-cased as UCase does it.
bool SameWord(std::string_view a, std::string_view b);

// 1 when the file is a regular file that opens for reading; otherwise minus the runtime's
// error number (-53 file not found, -76 path not found, -70 permission denied, -75 a folder,
// a FIFO, a socket, a device or other access error), at once whatever the name is.
Long FileExistsOpen(const std::string& name);
// False for a blank name, else whether the file exists.
bool ExistFile(const std::string& name);
// -1 first file missing, -2 second missing, -3 both; else 1 when the first was modified later,
// 2 earlier, 3 at the same time.
Long CompareFileDates(const std::string& file1, const std::string& file2);
