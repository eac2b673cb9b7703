#pragma once
// A C file that closes itself when its handle goes out of scope.
#include <cstdio>
#include <memory>
#include <string>

namespace calvero {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// The file opened for reading as bytes; empty when it cannot be opened
// (errno tells why).
inline FileHandle openForReading(const std::string& path) { return FileHandle(std::fopen(path.c_str(), "rb")); }

} // namespace calvero
