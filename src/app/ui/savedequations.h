#pragma once
// "equazioni salvate": the user's own equations, each under a name with what
// was written beside its parameters, kept between sessions in the user's
// settings (calvero1/equazioni.ini in the settings folder, QSettings' INI
// format). Entries whose text is damaged are skipped, never fatal.
#include "app/equationcommand.h"

#include <string>
#include <vector>

namespace calvero {

struct SavedEquationEntry {
    std::string name;
    std::string equation;
    std::vector<ParameterCells> cells;
};

std::vector<SavedEquationEntry> readSavedEquations();
void writeSavedEquations(const std::vector<SavedEquationEntry>& entries);

} // namespace calvero
