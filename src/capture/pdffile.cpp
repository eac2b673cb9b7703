#include "capture/pdffile.h"

#include <fstream>
#include <iterator>

namespace calvero::capture {

bool isPdfFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::string head(1024, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(file.gcount()));
    return head.find("%PDF-") != std::string::npos;
}

std::string pagesText(int pages) { return std::to_string(pages) + (pages == 1 ? " pagina" : " pagine"); }

} // namespace calvero::capture
