#pragma once
// Figures of the running process read from /proc: how long ago the kernel
// started it, and its resident memory now and at its peak.
#include <ctime>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>

namespace calvero::bench {

// Seconds since the process was started (forked), from field 22 of
// /proc/self/stat (clock ticks after boot, usually 10 ms each) against the
// boot-time clock the kernel counts it on. Nothing when /proc cannot be read.
inline std::optional<double> secondsSinceProcessStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // The command name in field 2 may hold blanks and parentheses: fields
    // are counted from the last ')'.
    const auto close = text.rfind(')');
    if (close == std::string::npos) return std::nullopt;
    std::istringstream fields(text.substr(close + 1));
    std::string field;
    for (int n = 3; n <= 22; ++n)
        if (!(fields >> field)) return std::nullopt;
    const double ticks = std::stod(field);
    const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    timespec now{};
    if (ticksPerSecond <= 0 || ::clock_gettime(CLOCK_BOOTTIME, &now) != 0) return std::nullopt;
    return now.tv_sec + now.tv_nsec * 1e-9 - ticks / ticksPerSecond;
}

// A "Name:   1234 kB" line of /proc/self/status, in KiB.
inline std::optional<long> statusKiB(const std::string& name)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(name + ":", 0) != 0) continue;
        std::istringstream value(line.substr(name.size() + 1));
        long kib = 0;
        if (value >> kib) return kib;
    }
    return std::nullopt;
}

} // namespace calvero::bench
