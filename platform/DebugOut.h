#pragma once
// Debugging and timing lines: one line per call, to standard error when the environment
// variable PELORIN_DEBUG is set (read once), otherwise dropped. Tests capture them with a sink.
#include <functional>
#include <string>

void DebugOut(const std::string& line);

using DebugSink = std::function<void(const std::string& line)>;
// Sends every later line to sink (an empty sink restores the default); returns the sink in
// place before.
DebugSink SetDebugSink(DebugSink sink);
