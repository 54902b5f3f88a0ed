#pragma once
// Settings files of the private-profile (INI) form: [section] lines and key=value lines.
// Sections and keys are compared without regard to case; the first of duplicate keys wins;
// a file is read once for each change of it (its size, time or identity), not once per call.
#include "runtime/Types.h"
#include <string>
#include <utility>
#include <vector>

// The value of key in section of file, trimmed of blanks, one pair of enclosing quotes
// dropped, cut at 2047 characters; def when the file, section or key is missing.
std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& def, const std::string& file);

// Every key of section of file with its value, in the order of the file (duplicates too, the
// first being the one GetProfileString gives): names trimmed, values as GetProfileString gives
// them; empty when the file or section is missing. One read of the file for a caller that wants
// many keys of one section.
using ProfileSection = std::vector<std::pair<std::string, std::string>>;
ProfileSection GetProfileSection(const std::string& section, const std::string& file);

// Writes key=value into section of file: replaces the value in place and keeps every other
// line, adds a missing key at the end of its section and a missing section at the end of the
// file, creates a missing file (not its folder). The file is replaced atomically, through a
// symbolic link to the file it names, with its mode and owner kept, and in the file's own line
// ends (CR LF for a new file). A file whose mode allows no write is not written. Writes of
// several processes (or threads) to one file are serialised by an advisory lock on the file
// "<file>.lock" beside it, held from the read to the rename, so that none loses another's key.
// Returns 1 on success, 0 on failure (the old file is left as it was).
Long WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& file);
