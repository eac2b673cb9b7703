#pragma once
// A file name's ending, which tells the point importers and the summary's
// writer the format of a file.
#include <string>

namespace calvero {

// The file name's ending after its last dot, in lower case ("xls"); empty when it has none.
std::string lowerExtension(const std::string& fileName);

} // namespace calvero
