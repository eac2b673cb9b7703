#pragma once
// Pieces shared by the fuzz targets: a scratch file that holds the input
// bytes and a check that stops the run with a readable reason (the UTF-8
// character count of src/common comes with them).

#include "common/utf8.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace calvero::fuzzing {

// Stops the fuzzer with the reason: libFuzzer keeps the input as a crash.
inline void require(bool condition, const std::string& what)
{
    if (condition) return;
    std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
    std::abort();
}

// A file in the temporary folder, one per process, rewritten for each input.
class ScratchFile {
public:
    explicit ScratchFile(const std::string& extension)
    {
        const char* folder = std::getenv("TMPDIR");
        path_ = std::string(folder && *folder ? folder : "/tmp") + "/calvero_fuzz_" +
                std::to_string(::getpid()) + extension;
    }
    ~ScratchFile() { std::remove(path_.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& write(const std::uint8_t* data, std::size_t size)
    {
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        require(file != nullptr, "cannot create " + path_);
        require(size == 0 || std::fwrite(data, 1, size, file) == size, "cannot write " + path_);
        std::fclose(file);
        return path_;
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

inline bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace calvero::fuzzing
