#include "common/filewrite.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace calvero;
namespace fs = std::filesystem;

namespace {

std::string contentOf(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class FileWrite : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("calvero_filewrite_" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    fs::path folder;
};

} // namespace

TEST_F(FileWrite, CreatesAndReplacesWithoutLeavingTemporaries)
{
    const fs::path target = folder / "dati.txt";
    EXPECT_FALSE(writeWholeFile(target, "first\r\n").has_value());
    EXPECT_EQ(contentOf(target), "first\r\n");
    EXPECT_FALSE(writeWholeFile(target, std::string("a\0b", 3)).has_value());
    EXPECT_EQ(contentOf(target), std::string("a\0b", 3));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(FileWrite, AFailureKeepsTheEarlierFile)
{
    const fs::path target = folder / "dati.txt";
    ASSERT_FALSE(writeWholeFile(target, "keep me").has_value());
    // A folder in the way of the file: the write fails, nothing else changes.
    const fs::path blocked = folder / "cartella";
    fs::create_directories(blocked / "inside");
    const auto failure = writeWholeFile(blocked, "x");
    ASSERT_TRUE(failure.has_value());
    EXPECT_FALSE(failure->empty());
    EXPECT_TRUE(fs::is_directory(blocked));
    EXPECT_EQ(contentOf(target), "keep me");

    const auto missing = writeWholeFile(folder / "nessuna" / "dati.txt", "x");
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(*missing, "file o cartella inesistente"); // in Italian, as every message
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
}
