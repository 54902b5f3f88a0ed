#pragma once
// The program's start-up: the settings file, the coastline file, the options and the remembered
// list as the settings file holds them, then the main window with its menu marks.
#include "runtime/Types.h"

#include <string>
#include <vector>

// The program's start-up. args are the command-line arguments after the program name: a file
// (not a URL) whose name ends in ".ini" (any case) names the settings file; the first other one
// becomes the first entry of the remembered list, and then the settings file is "Pelorin.ini" (or
// "Pelorin.INI") in programFolder. Settings are never written into a dataset named on the command
// line. True when the main window is up and the program runs; false when it is to end (no settings
// file, or the coastline dialog cancelled).
bool Main(const std::vector<std::string>& args, const std::string& programFolder);
// The settings file beside the program: programFolder's "Pelorin.ini", else its "Pelorin.INI"
// when only that exists; the "Pelorin.ini" path when neither does.
std::string SettingsFileBeside(const std::string& programFolder);

// A whole-number setting of the settings file in use: the leading number of the text, to the
// nearest whole number, halves to even; no number, or one beyond a Long, reads as 0 and then
// takes the key's own rule.
Long settingLong(const std::string& key, const char* section = "parameters");
