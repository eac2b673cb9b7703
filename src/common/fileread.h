#pragma once
// Reading a small file whole, for the readers of the program's own files
// (data sets, their options): a limit keeps a huge file that is something
// else from being read into memory.
#include <cstddef>
#include <optional>
#include <string>

namespace calvero {

// The whole file, or its first maxBytes bytes; nothing when it cannot be
// opened or read, with errno telling why.
std::optional<std::string> readFileText(const std::string& path, std::size_t maxBytes);

} // namespace calvero
