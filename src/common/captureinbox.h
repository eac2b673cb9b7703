#pragma once
// How digitora hands its points to the CALVERO1 that started it: CALVERO1
// listens on a local socket whose name it passes in this environment variable;
// digitora sends the path of a point file, one line.
namespace calvero {

inline constexpr const char* CaptureInboxVariable = "CALVERO1_INBOX";

} // namespace calvero
