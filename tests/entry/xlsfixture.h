#pragma once
// Builds small .xls workbooks for the import tests with Python's xlwt, which
// writes the same BIFF8 format as the spreadsheet application.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace calvero::testing {

// A Python interpreter with xlwt, or empty when there is none.
inline std::string pythonWithXlwt()
{
    for (const char* candidate : {"/usr/bin/python3", "python3"}) {
        const std::string probe = std::string(candidate) + " -c 'import xlwt' >/dev/null 2>&1";
        if (std::system(probe.c_str()) == 0) return candidate;
    }
    return {};
}

// Writes `path` from Python statements that fill the xlwt sheet `ws` (and may
// add more sheets to `wb`). True when the workbook was written.
inline bool writeWorkbook(const std::filesystem::path& path, const std::string& statements)
{
    const std::string python = pythonWithXlwt();
    if (python.empty()) return false;
    const std::filesystem::path script = path.string() + ".py";
    {
        std::ofstream out(script);
        out << "import xlwt, datetime\n"
               "wb = xlwt.Workbook()\n"
               "ws = wb.add_sheet('FOGLIO1')\n"
            << statements << "\n"
            << "wb.save(r'''" << path.string() << "''')\n";
    }
    const std::string command = python + " '" + script.string() + "'";
    const bool written = std::system(command.c_str()) == 0;
    std::filesystem::remove(script);
    return written && std::filesystem::exists(path);
}

} // namespace calvero::testing
