// The fuzz targets without libFuzzer: every input named on the command line
// (a file, or each file of a folder, in name order) goes once through the
// target's LLVMFuzzerTestOneInput. Built with the test suite by whatever
// compiler it has, so that a target that no longer compiles, or a seed or a
// kept finding that breaks a target's checks, fails the suite; the long runs
// with libFuzzer are scripts/fuzz.sh's. Exits 1 when a path holds no input,
// so a corpus that went missing is not taken for a clean run.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputsOf(const fs::path& path)
{
    std::error_code error;
    if (!fs::is_directory(path, error)) return fs::is_regular_file(path, error) ? std::vector<fs::path>{path} : std::vector<fs::path>{};
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(path, error))
        if (entry.is_regular_file(error)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

int main(int argc, char** argv)
{
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::vector<fs::path> inputs = inputsOf(argv[i]);
        if (inputs.empty()) {
            std::fprintf(stderr, "no inputs in %s\n", argv[i]);
            return 1;
        }
        for (const fs::path& input : inputs) {
            std::ifstream in(input, std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            std::fprintf(stderr, "%s\n", input.c_str()); // the one that stopped the run is the last named
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            ++replayed;
        }
    }
    std::printf("replayed %zu inputs\n", replayed);
    return 0;
}
