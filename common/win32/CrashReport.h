#pragma once
// A Windows program that crashes (an access violation, a stack overflow, any exception nothing handles)
// would otherwise end without a word, and under Wine even with status 0, which a script takes for
// success. Installed first thing in main, this makes such an end say so.

// The status a crashed program ends with, as abort() ends it.
constexpr unsigned kCrashExitStatus = 3;

// From now on an exception that reaches the top of any thread writes one line to standard error,
// "<program>: crashed: ...", and ends the process with kCrashExitStatus. The C++ runtime's own use of
// the top-level filter (its exceptions on their way to std::terminate) is kept. `program` must live as
// long as the process.
void ReportCrashes(const char* program);
