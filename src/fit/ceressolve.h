#pragma once
// What every Ceres solve of the typed equations shares: one thread, dense QR,
// nothing printed. Ceres reports an evaluation that failed on stderr through
// glog, whatever its logging type; the fit's own outcome says so, so glog
// keeps quiet but for what ends the program.
#include <ceres/ceres.h>

namespace calvero {

ceres::Solver::Options quietSolverOptions(int maxIterations);

// Before each solve (glog's threshold belongs to the process).
void quietCeresLog();

} // namespace calvero
