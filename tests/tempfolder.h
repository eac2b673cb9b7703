#pragma once
// A fresh folder for the files of one test, removed at its end.
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace calvero::testing {

class TempFolder {
public:
    TempFolder()
    {
        static int serial = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("calvero_entry_" + std::to_string(::getpid()) + "_" + std::to_string(++serial));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Writes the bytes as they are (no line-ending translation) and returns the file's path.
    std::string write(const std::string& name, const std::string& bytes) const
    {
        const std::filesystem::path file = path_ / name;
        std::ofstream(file, std::ios::binary) << bytes;
        return file.string();
    }

private:
    std::filesystem::path path_;
};

} // namespace calvero::testing
