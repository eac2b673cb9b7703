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

// Writes everything to an open descriptor and flushes it to the disk.
int writeAll(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

int writeInPlace(const std::string& path, std::string_view bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) return failure(errno);
    const int error = writeAll(fd, bytes);
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

} // namespace

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

} // namespace calvero
