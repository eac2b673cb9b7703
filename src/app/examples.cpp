#include "app/examples.h"

#include "fit/session.h"

namespace calvero {

std::string examplePath(const ExampleFile& example) { return session().programFolder + std::string(example.name); }

} // namespace calvero
