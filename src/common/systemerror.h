#pragma once
// The reason a file operation failed, in Italian words, for the program's
// own messages ("impossibile scrivere il file X: <reason>"); the C library's
// texts would come in English. The failures a user meets (no space, no
// permission, no such file, a read-only disk, a name too long, a folder in
// place of a file and a few more) have their own words; the rare rest keep
// the system's text.
#include <string>

namespace calvero {

std::string systemErrorText(int error);

} // namespace calvero
