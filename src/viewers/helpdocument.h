#pragma once
// Where the documentation lives and the caption its window carries.
#include <string>

namespace calvero {

// The first page of the documentation, installed in the program's folder.
inline constexpr const char* HelpDocumentFile = "calvero1.htm";

// programFolder followed by the first page; a folder given without its
// trailing '/' gets one.
std::string helpDocumentPath(const std::string& programFolder);

} // namespace calvero
