#pragma once
// The report of the last calculation: a fixed store of 200 lines of at most
// 130 characters, which the report viewer shows, prints and saves.
#include "fit/onebased.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace calvero {

constexpr int ReportLines = 200;
constexpr int ReportLineWidth = 130;

struct ReportBuffer {
    OneBasedArray<std::string, ReportLines> lines{};
    std::uint16_t lineCount = 0;
};

// Every line becomes 130 blanks and the count 0.
void clearReport(ReportBuffer& report);
// Stores the text, cut to 130 characters, as the next line; the 201st line
// wraps to line 1.
void appendLine(ReportBuffer& report, std::string_view text);
// lines[1..lineCount], as stored.
std::vector<std::string> reportLines(const ReportBuffer& report);

} // namespace calvero
