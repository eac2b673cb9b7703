#include "spreadsheet/childprocess.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <poll.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace calvero {

namespace {

constexpr std::size_t LengthBytes = 8;

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// The child's side: the length of the result, then its bytes. Never returns.
[[noreturn]] void serve(int fd, const std::function<std::optional<std::string>()>& work)
{
    int status = 1;
    try {
        if (const std::optional<std::string> result = work()) {
            char length[LengthBytes];
            const std::uint64_t size = result->size();
            for (std::size_t i = 0; i < LengthBytes; ++i) length[i] = static_cast<char>(size >> (8 * i));
            if (writeAll(fd, length, LengthBytes) && writeAll(fd, result->data(), result->size())) status = 0;
        }
    } catch (...) {
        status = 1;
    }
    // No exit handlers, no stdio flushing: they belong to the parent.
    ::_exit(status);
}

// The parent's side: everything the child writes until it closes the pipe,
// or nothing when the deadline passes first.
std::optional<std::string> collect(int fd, std::chrono::steady_clock::time_point deadline)
{
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd ready{fd, POLLIN, 0};
        const int polled = ::poll(&ready, 1, static_cast<int>(left.count()));
        if (polled < 0 && errno == EINTR) continue;
        if (polled <= 0) return std::nullopt;
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        if (got == 0) return bytes;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

// The result within what the child wrote, when it wrote all of it.
std::optional<std::string> delivered(const std::string& bytes)
{
    if (bytes.size() < LengthBytes) return std::nullopt;
    std::uint64_t size = 0;
    for (std::size_t i = 0; i < LengthBytes; ++i)
        size |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    if (bytes.size() - LengthBytes != size) return std::nullopt;
    return bytes.substr(LengthBytes);
}

void reap(pid_t child)
{
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

std::optional<std::string> runInChildProcess(const std::function<std::optional<std::string>()>& work,
                                             std::chrono::milliseconds timeLimit)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return work();
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        return work();
    }
    if (child == 0) {
        ::close(pipeEnds[0]);
        serve(pipeEnds[1], work);
    }
    ::close(pipeEnds[1]);
    const auto bytes = collect(pipeEnds[0], std::chrono::steady_clock::now() + timeLimit);
    ::close(pipeEnds[0]);
    if (!bytes) ::kill(child, SIGKILL);
    reap(child);
    return bytes ? delivered(*bytes) : std::nullopt;
}

} // namespace calvero
