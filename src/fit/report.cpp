#include "fit/report.h"

#include "common/numtext.h"

namespace calvero {

void clearReport(ReportBuffer& report)
{
    report.lines.fill(std::string(ReportLineWidth, ' '));
    report.lineCount = 0;
}

void appendLine(ReportBuffer& report, std::string_view text)
{
    report.lineCount = static_cast<std::uint16_t>(report.lineCount + 1);
    if (report.lineCount > ReportLines) report.lineCount = 1;
    // Cut at a character's start: a report line stays valid UTF-8.
    report.lines[report.lineCount] = firstCharacters(std::string(text), ReportLineWidth);
}

std::vector<std::string> reportLines(const ReportBuffer& report)
{
    std::vector<std::string> result;
    for (int i = 1; i <= report.lineCount; ++i) result.push_back(report.lines[i]);
    return result;
}

} // namespace calvero
