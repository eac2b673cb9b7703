// Work run in a child process: its result comes back whole, and a crash, a
// hang or an exception in it ends in nothing instead of taking the test,
// like the program, down with it.
#include "spreadsheet/childprocess.h"
#include "spreadsheet/compoundfilecheck.h"
#include "entry/importcommand.h"

#include "import_target.h"

#include <gtest/gtest.h>

#include <csignal>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace calvero {
namespace {

calvero::testing::ImportTarget imported;

using namespace std::chrono_literals;

TEST(RunInChildProcess, ResultComesBackWhole)
{
    std::string large(5u << 20, '\0');
    for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 7 + i / 4096);
    EXPECT_EQ(runInChildProcess([&] { return std::optional<std::string>(large); }, 60s), large);
    EXPECT_EQ(runInChildProcess([] { return std::optional<std::string>(""); }, 60s), std::string());
    EXPECT_EQ(runInChildProcess([] { return std::optional<std::string>(); }, 60s), std::nullopt);
}

TEST(RunInChildProcess, RunsApartFromThisProcess)
{
    int touched = 0;
    const auto pid = runInChildProcess([&] {
        touched = 1; // the child's copy
        return std::optional<std::string>(std::to_string(::getpid()));
    }, 60s);
    ASSERT_TRUE(pid.has_value());
    EXPECT_NE(*pid, std::to_string(::getpid()));
    EXPECT_EQ(touched, 0);
}

TEST(RunInChildProcess, CrashHangAndExceptionGiveNothing)
{
    EXPECT_EQ(runInChildProcess([]() -> std::optional<std::string> {
        ::kill(::getpid(), SIGKILL);
        return "never";
    }, 60s), std::nullopt);
    EXPECT_EQ(runInChildProcess([]() -> std::optional<std::string> { throw std::runtime_error("guasto"); }, 60s),
              std::nullopt);
    EXPECT_EQ(runInChildProcess([]() -> std::optional<std::string> {
        std::this_thread::sleep_for(60s);
        return "late";
    }, 200ms), std::nullopt);
    // This process goes on as before.
    EXPECT_EQ(runInChildProcess([] { return std::optional<std::string>("ancora"); }, 60s), "ancora");
}

TEST(SpreadsheetImportIsolation, WorkbookThatBreaksFreeXlAsTheFuzzerFoundIt)
{
    // A second DIMENSIONS record among the cells, with a huge row range: FreeXL
    // frees memory it does not own and the process died. Its compound file is
    // sound, so only the child process stands between it and the program.
    imported.reset();
    const std::string found = std::string(CALVERO_SOURCE_DIR) + "/tests/data/fuzz/freexl_second_dimensions.xls";
    ASSERT_EQ(checkCompoundFile(found), CompoundFileCheck::Sound);
    imported.grid.setCell(1, 1, "12.5");
    imported.grid.setCell(199, 2, "ultimo");
    EXPECT_EQ(importPointFile(found, 1, imported.target()), Failure{"impossibile leggere il file EXCEL: " + found});
    EXPECT_EQ(imported.grid.cell(1, 1), "12.5");
    EXPECT_EQ(imported.grid.cell(199, 2), "ultimo");
    imported.reset();
}

} // namespace
} // namespace calvero
