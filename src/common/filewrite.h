#pragma once
// Writing a whole file so that a failure never leaves the user's earlier
// file half-overwritten: the bytes go to a temporary file beside it, which
// then replaces it. A symbolic link is followed and its target written that
// way, the link kept; a FIFO or a device (/dev/null, /dev/stdout) has no
// earlier file to keep and is written directly, never replaced; a folder is
// refused.
#include "common/checked.h"
#include <optional>
#include <string>
#include <string_view>

namespace calvero {

// Writes bytes as the whole content of path (created or replaced). Returns
// the reason, in Italian (systemErrorText), when the file could not be
// written; the earlier file, if any, is then left as it was.
Failure writeWholeFile(const std::string& path, std::string_view bytes);

// writeWholeFile for a file the user asked for, with the program's message:
// "errore di scrittura del file PATH: <reason>".
Failure writeOutputFile(const std::string& path, std::string_view bytes);

// The same, giving the error code (errno) of the failure, or 0 when written,
// for a caller that words the reason itself (systemErrorText).
int writeWholeFileError(const std::string& path, std::string_view bytes);

// Where a write to path lands: path itself, or the end of its chain of
// symbolic links (which need not exist yet). Empty after too many links.
std::string writtenPath(const std::string& path);

} // namespace calvero
