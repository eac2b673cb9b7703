#include "viewers/helpdocument.h"

namespace calvero {

std::string helpDocumentPath(const std::string& programFolder)
{
    std::string path = programFolder;
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path + HelpDocumentFile;
}

} // namespace calvero
