#pragma once
// The capture session file: a small JSON file with the picture's path and
// page, the axes' references, the curves with their points and the areas left
// out. The reader refuses anything damaged or impossible with a message and
// gives nothing, so the caller's session stays as it was.
#include "capture/capturedocument.h"
#include "common/checked.h"
#include "capture/pixelbuffer.h"

#include <optional>
#include <string>
#include <string_view>

namespace calvero::capture {

// The extension the window offers for session files.
constexpr const char* SessionExtension = ".digitora";

struct CaptureSession {
    std::string picturePath;
    // The page of a PDF file, from 1; 1 for a picture.
    int page = 1;
    // The resolution a PDF page is rendered at.
    double dpi = DefaultDpi;
    CaptureState state;
    friend bool operator==(const CaptureSession&, const CaptureSession&) = default;
};

std::string sessionText(const CaptureSession& session);
Checked<CaptureSession> parseSessionText(std::string_view text);

// Returns the reason when the file could not be written; an earlier file is then left as it was.
std::optional<std::string> writeSessionFile(const std::string& path, const CaptureSession& session);
Checked<CaptureSession> readSessionFile(const std::string& path);

} // namespace calvero::capture
