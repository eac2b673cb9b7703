#pragma once
// What the program tells of a PDF without opening it with Poppler.
#include <string>

namespace calvero::capture {

// True when the file holds a PDF (told by its content, not its name): the
// header may follow up to a kilobyte of other bytes.
bool isPdfFile(const std::string& path);

// "1 pagina", "3 pagine".
std::string pagesText(int pages);

} // namespace calvero::capture
