#pragma once
// Running a piece of work in a child process, so that a library that crashes
// or hangs on a malformed file cannot take the program, and the user's data,
// with it. FreeXL 1.0.6 overruns and frees memory it does not own on some
// malformed workbooks; the spreadsheet import reads through it this way.
#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace calvero {

// Runs work in a forked child and returns the bytes it gave. Nothing when
// the work gave nothing, or the child ended before delivering all of them
// (a crash, an exception, a signal), or it ran past the time limit, in which
// case it is killed. When no child can be started, the work runs here.
std::optional<std::string> runInChildProcess(const std::function<std::optional<std::string>()>& work,
                                             std::chrono::milliseconds timeLimit);

} // namespace calvero
