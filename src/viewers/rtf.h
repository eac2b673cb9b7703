#pragma once
// The report as an RTF document in a fixed-pitch font, so that its columns
// line up in any word processor.
#include "common/checked.h"
#include <optional>
#include <string>
#include <vector>

namespace calvero {

// An RTF document with one paragraph for each line (UTF-8 text), in Courier
// New at 10 points, on the page that keeps the widest line on one line of the
// page (see reportpage.h). Backslashes and braces are escaped; characters beyond ASCII are written
// as Windows-1252 bytes (\'hh) where that code page has them, otherwise as
// Unicode (\uN?); a tab is \tab.
std::string rtfDocument(const std::vector<std::string>& lines);

// Writes the document of the lines to the file, replacing it. The system's
// reason when the file cannot be written; nothing on success.
Failure writeRtfFile(const std::string& path, const std::vector<std::string>& lines);

} // namespace calvero
