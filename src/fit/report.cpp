#include "fit/report.h"

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
    report.lines[report.lineCount] = std::string(text.substr(0, ReportLineWidth));
}

std::vector<std::string> reportLines(const ReportBuffer& report)
{
    std::vector<std::string> result;
    for (int i = 1; i <= report.lineCount; ++i) result.push_back(report.lines[i]);
    return result;
}

} // namespace calvero
