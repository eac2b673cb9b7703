#include "common/outputpaths.h"

#include <sys/stat.h>

namespace calvero {

namespace {

bool isFile(const std::string& path) { return !path.empty() && path != "-"; }

} // namespace

bool sameFile(const std::string& a, const std::string& b)
{
    struct stat first {}, second {};
    if (!isFile(a) || !isFile(b) || ::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0) return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

Failure outputRefusal(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs)
{
    for (const std::string& output : outputs) {
        if (!isFile(output)) continue;
        struct stat status {};
        if (::stat(output.c_str(), &status) != 0) continue; // a new file
        if (S_ISDIR(status.st_mode)) return "il file di uscita " + output + " è una cartella: nessun file scritto";
        // A FIFO or a device is written through, never replaced: nothing read is lost.
        if (!S_ISREG(status.st_mode)) continue;
        for (const std::string& input : inputs)
            if (sameFile(output, input))
                return "il file di uscita " + output + " è il file di ingresso " + input + ": nessun file scritto";
    }
    return std::nullopt;
}

std::optional<std::string> overwriteQuestion(const std::vector<std::string>& written,
                                             const std::vector<std::string>& sources)
{
    for (const std::string& file : written)
        for (const std::string& source : sources)
            if (sameFile(file, source))
                return "il file " + file + " è il file da cui vengono i punti" +
                       (file == source ? std::string() : " (" + source + ")") + ": scriverci sopra?";
    return std::nullopt;
}

} // namespace calvero
