#include "app/launches.h"

#include <filesystem>
#include <system_error>

namespace calvero {

namespace {
constexpr const char* NativeToolName = "digitora";
constexpr const char* WindowsToolName = "digitora.exe";

bool isRegularFile(const std::string& path)
{
    std::error_code error; // an unreadable folder simply means "not there"
    return std::filesystem::is_regular_file(path, error);
}

std::string withTrailingSeparator(const std::string& folder)
{
    if (folder.empty() || folder.back() == '/')
        return folder;
    return folder + '/';
}
} // namespace

CaptureToolLookup findCaptureTool(const std::string& programFolder)
{
    const std::string folder = withTrailingSeparator(programFolder);
    CaptureToolLookup lookup;
    const std::string native = folder + NativeToolName;
    if (isRegularFile(native)) {
        lookup.found = true;
        lookup.path = native;
        return lookup;
    }
    const std::string windows = folder + WindowsToolName;
    if (isRegularFile(windows)) {
        lookup.found = true;
        lookup.path = windows;
        lookup.openedByDesktop = true;
        return lookup;
    }
    // The name the user should install on this system is the native one.
    lookup.message = "programma di cattura punti non trovato: " + native;
    return lookup;
}

std::string captureToolStartFailure(const std::string& path)
{
    return "impossibile avviare il programma di cattura punti: " + path;
}

std::string webPageFailure(const std::string& address)
{
    return "impossibile avviare un browser per aprire la pagina web: " + address;
}

} // namespace calvero
