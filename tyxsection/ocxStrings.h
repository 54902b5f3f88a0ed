#pragma once
// Path texts of the control: a dataset's name without its extension, or with another one.
// Paths may use "\" or "/"; only the last component's dot counts, so dots in folder names
// are kept ("C:\data.set\model" has no extension).
#include <string>

// The trimmed path without the extension of its last component (from its last "."); the
// trimmed path when that component holds no ".".
std::string StripExt(const std::string& path);
// Replaces path by StripExt(path) & "." & the trimmed ext.
void ChangeExt(std::string& path, const std::string& ext);
