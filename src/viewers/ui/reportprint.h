#pragma once
// The report on paper: Courier New at 10 points, one printed line for each
// line of the report, as many pages as it takes.
#include <string>
#include <vector>

class QPrinter;

namespace calvero {

// Lays the printer's sheet upright or across so that the widest line fits
// (reportpage.h) and prints the lines. False when the printer refuses the job.
bool printReport(QPrinter& printer, const std::vector<std::string>& lines);

} // namespace calvero
