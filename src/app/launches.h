#pragma once
// What the three link buttons of the main window lead to, as plain data: the
// maker's web site and the point-capture tool installed beside the program.
#include <string>

namespace calvero {

// The maker's web site, opened by "sito ventoria".
inline constexpr const char* MakerWebAddress = "https://www.ventoria.it/";

// The caption of the help window opened by "documentazione".
inline constexpr const char* DocumentationCaption = "calvero1.html";

// Where the point-capture tool was found, or why not.
struct CaptureToolLookup {
    bool found = false;
    // The tool's path when found; otherwise empty.
    std::string path;
    // true for "digitora.exe", which is handed to the desktop's "open"
    // (a Windows program needs whatever the desktop runs it with); false for
    // the native "digitora", which is started directly.
    bool openedByDesktop = false;
    // When not found: the message for the user.
    std::string message;
};

// Looks for "digitora" and then "digitora.exe" in programFolder; only
// regular files count.
CaptureToolLookup findCaptureTool(const std::string& programFolder);

// The message shown when the tool was found but could not be started.
std::string captureToolStartFailure(const std::string& path);

// The message shown when no browser could be started for a web address.
std::string webPageFailure(const std::string& address);

} // namespace calvero
