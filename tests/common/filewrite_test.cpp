#include "common/filewrite.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
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

// What is not a plain file at the output's name stays what it is: a link is
// followed (its target written whole, the link kept, a dangling one's target
// created), a FIFO hands its reader every byte, a device made here (the null
// device, only as root) stays a device, a folder is refused.
TEST_F(FileWrite, WritesThroughWhatIsNotAPlainFile)
{
    const std::string bytes(100000, 'x'); // more than a pipe holds at once
    const fs::path data = folder / "dati.txt";
    ASSERT_FALSE(writeWholeFile(data, "old").has_value());
    fs::create_directory(folder / "sub");
    fs::create_symlink("dati.txt", folder / "link");
    fs::create_symlink("link", folder / "chain");
    fs::create_symlink("sub/nuovo.txt", folder / "dangling");
    for (const char* name : {"link", "chain", "dangling"}) {
        SCOPED_TRACE(name);
        ASSERT_FALSE(writeWholeFile(folder / name, std::string(name) + bytes).has_value());
        EXPECT_TRUE(fs::is_symlink(folder / name));
        EXPECT_EQ(contentOf(folder / name), std::string(name) + bytes);
    }
    EXPECT_EQ(contentOf(data), "chain" + bytes);
    EXPECT_EQ(contentOf(folder / "sub" / "nuovo.txt"), "dangling" + bytes);

    const fs::path fifo = folder / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = contentOf(fifo); });
    EXPECT_FALSE(writeWholeFile(fifo, bytes).has_value());
    reader.join();
    EXPECT_EQ(received, bytes);
    EXPECT_TRUE(fs::is_fifo(fifo));

    if (::getuid() == 0) {
        const fs::path device = folder / "nul";
        ASSERT_EQ(::mknod(device.c_str(), S_IFCHR | 0600, makedev(1, 3)), 0);
        EXPECT_FALSE(writeWholeFile(device, bytes).has_value());
        EXPECT_TRUE(fs::is_character_file(device));
    }

    const auto refused = writeWholeFile(folder / "sub", "x");
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(*refused, "è una cartella");
    EXPECT_TRUE(fs::is_directory(folder / "sub"));
    // Nothing left beside them: no temporary, no replaced entry.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), ::getuid() == 0 ? 7 : 6);
}
