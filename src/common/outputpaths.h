#pragma once
// The outputs a command line names, checked against its inputs before
// anything is written: a command never writes over a file it reads (the same
// file by device and inode, whatever links or other names lead to it), nor
// onto a folder.
#include "common/checked.h"

#include <optional>
#include <string>
#include <vector>

namespace calvero {

// Whether the two paths lead to the same existing file (through links).
bool sameFile(const std::string& a, const std::string& b);

// The first output that is an existing regular file among the inputs, or a
// folder, as the Italian refusal that names it (and the input); nothing when
// every output may be written. Empty names and "-" (standard output) are not
// files; a FIFO or a device is written through and never counts.
Failure outputRefusal(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs);

// What a window asks before a save writes over the file its points came
// from: the question naming the first written file that is one of the
// sources (and the source, when named otherwise); nothing when none is.
std::optional<std::string> overwriteQuestion(const std::vector<std::string>& written,
                                             const std::vector<std::string>& sources);

} // namespace calvero
