#include "app/launches.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace calvero {
namespace {

namespace fs = std::filesystem;

// A fresh, empty program folder for each test.
class CaptureToolFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() / ("calvero_launch_" + std::string(test->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string folder() const { return folder_.string() + "/"; }
    void createFile(const std::string& name) const { std::ofstream(folder_ / name) << "tool"; }

    fs::path folder_;
};

TEST_F(CaptureToolFolder, NativeToolIsStartedDirectly)
{
    createFile("digitora");
    const CaptureToolLookup tool = findCaptureTool(folder());
    ASSERT_TRUE(tool.found);
    EXPECT_EQ(tool.path, folder() + "digitora");
    EXPECT_FALSE(tool.openedByDesktop);
    EXPECT_TRUE(tool.message.empty());
}

TEST_F(CaptureToolFolder, WindowsToolIsHandedToTheDesktop)
{
    createFile("digitora.exe");
    const CaptureToolLookup tool = findCaptureTool(folder());
    ASSERT_TRUE(tool.found);
    EXPECT_EQ(tool.path, folder() + "digitora.exe");
    EXPECT_TRUE(tool.openedByDesktop);
}

TEST_F(CaptureToolFolder, NativeToolWinsWhenBothAreThere)
{
    createFile("digitora.exe");
    createFile("digitora");
    EXPECT_EQ(findCaptureTool(folder()).path, folder() + "digitora");
}

TEST_F(CaptureToolFolder, MissingToolGivesTheMessageWithThePathLookedFor)
{
    const CaptureToolLookup tool = findCaptureTool(folder());
    EXPECT_FALSE(tool.found);
    EXPECT_TRUE(tool.path.empty());
    EXPECT_EQ(tool.message, "programma di cattura punti non trovato: " + folder() + "digitora");
}

TEST_F(CaptureToolFolder, AFolderNamedLikeTheToolIsNotTheTool)
{
    fs::create_directories(folder_ / "digitora");
    createFile("digitora.exe");
    const CaptureToolLookup tool = findCaptureTool(folder());
    ASSERT_TRUE(tool.found);
    EXPECT_EQ(tool.path, folder() + "digitora.exe");
}

TEST_F(CaptureToolFolder, FolderWithoutTrailingSeparatorIsCompleted)
{
    createFile("digitora");
    EXPECT_EQ(findCaptureTool(folder_.string()).path, folder() + "digitora");
}

TEST(CaptureTool, UnreadableFolderMeansNotFound)
{
    const CaptureToolLookup tool = findCaptureTool("/nonexistent/calvero1/");
    EXPECT_FALSE(tool.found);
    EXPECT_EQ(tool.message, "programma di cattura punti non trovato: /nonexistent/calvero1/digitora");
}

} // namespace
} // namespace calvero
