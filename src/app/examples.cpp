#include "app/examples.h"

namespace calvero {

std::string examplePath(const std::string& programFolder, const ExampleFile& example)
{
    return programFolder + std::string(example.name);
}

} // namespace calvero
