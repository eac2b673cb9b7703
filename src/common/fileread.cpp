#include "common/fileread.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace calvero {

std::optional<std::string> readFileText(const std::string& path, std::size_t maxBytes)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return std::nullopt;
    std::string text;
    char buffer[65536];
    while (text.size() < maxBytes) {
        const std::size_t wanted = std::min(sizeof buffer, maxBytes - text.size());
        const std::size_t got = std::fread(buffer, 1, wanted, file);
        text.append(buffer, got);
        if (got < wanted) break;
    }
    const bool failed = std::ferror(file) != 0;
    const int reason = errno;
    std::fclose(file);
    if (failed) {
        errno = reason;
        return std::nullopt;
    }
    return text;
}

} // namespace calvero
