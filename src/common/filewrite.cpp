#include "common/filewrite.h"

#include "common/systemerror.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace calvero {

namespace {

// The error code, never 0 for a failure.
int failure(int error) { return error != 0 ? error : EIO; }

// Writes everything to an open descriptor; a regular file is then flushed to
// the disk (a FIFO or a device has nothing to flush).
int writeAll(int fd, std::string_view bytes, bool flush = true)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        done += static_cast<std::size_t>(n);
    }
    if (!flush) return 0;
    return ::fsync(fd) == 0 ? 0 : errno;
}

// Opened and written where it is: a file in a folder that takes no new files,
// or a FIFO or device (flags without O_CREAT, nothing flushed).
int writeInPlace(const std::string& path, std::string_view bytes, int flags = O_CREAT | O_TRUNC, bool flush = true)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | flags, 0666);
    if (fd < 0) return failure(errno);
    const int error = writeAll(fd, bytes, flush);
    const int closeError = ::close(fd) == 0 ? 0 : errno;
    if (error != 0) return failure(error);
    if (closeError != 0) return failure(closeError);
    return 0;
}

// The replaced file keeps its permissions; a new one gets the usual ones.
mode_t modeFor(const std::string& path)
{
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The folder part of a path, with its trailing '/', or nothing for a bare name.
std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Aside and rename into place: the earlier regular file stays whole until
// the new one is complete.
int replaceWhole(const std::string& path, std::string_view bytes)
{
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        // A folder that takes no new files may still let the file itself be rewritten.
        if (errno == EACCES || errno == EPERM || errno == EROFS) return writeInPlace(path, bytes);
        return failure(errno);
    }
    ::fchmod(fd, modeFor(path));
    const int error = writeAll(fd, bytes);
    const int closeError = ::close(fd) == 0 ? 0 : errno;
    if (error != 0 || closeError != 0) {
        ::unlink(temporary.c_str());
        return failure(error != 0 ? error : closeError);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int renameError = errno;
        ::unlink(temporary.c_str());
        return failure(renameError);
    }
    return 0;
}

} // namespace

std::string writtenPath(const std::string& path)
{
    std::string current = path;
    // As many links as the system follows in one path.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat link {};
        if (::lstat(current.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return current;
        std::string target(static_cast<std::size_t>(link.st_size > 0 ? link.st_size : 4096) + 1, '\0');
        const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
        if (length < 0 || static_cast<std::size_t>(length) >= target.size()) return current;
        target.resize(static_cast<std::size_t>(length));
        current = target.front() == '/' ? target : folderOf(current) + target;
    }
    return {};
}

Failure writeWholeFile(const std::string& path, std::string_view bytes)
{
    const int error = writeWholeFileError(path, bytes);
    if (error == 0) return std::nullopt;
    return systemErrorText(error);
}

Failure writeOutputFile(const std::string& path, std::string_view bytes)
{
    if (const Failure failure = writeWholeFile(path, bytes)) return "errore di scrittura del file " + path + ": " + *failure;
    return std::nullopt;
}

int writeWholeFileError(const std::string& path, std::string_view bytes)
{
    if (path.empty()) return ENOENT;
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) return EISDIR;
    // A FIFO or a device: there is no earlier file to keep, and it must stay what it is.
    if (exists && !S_ISREG(existing.st_mode)) return writeInPlace(path, bytes, 0, false);
    const std::string target = writtenPath(path);
    if (target.empty()) return ELOOP;
    if (exists) {
        // A link the system resolves otherwise than its text reads (/dev/stdout
        // to a file) is written where the system opens it.
        struct stat there {};
        if (::stat(target.c_str(), &there) != 0 || there.st_dev != existing.st_dev || there.st_ino != existing.st_ino)
            return writeInPlace(path, bytes);
    }
    return replaceWhole(target, bytes);
}

} // namespace calvero
