#pragma once
// The reason a file operation failed, in Italian words, for the program's
// own messages ("impossibile scrivere il file X: <reason>"); the C library's
// texts would come in English.
#include <string>

namespace calvero {

std::string systemErrorText(int error);

} // namespace calvero
