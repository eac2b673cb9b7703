#include "fit/ceressolve.h"

namespace calvero {

ceres::Solver::Options quietSolverOptions(int maxIterations)
{
    ceres::Solver::Options options;
    options.linear_solver_type = ceres::DENSE_QR;
    options.max_num_iterations = maxIterations;
    options.num_threads = 1;
    options.logging_type = ceres::SILENT;
    options.minimizer_progress_to_stdout = false;
    return options;
}

void quietCeresLog()
{
    FLAGS_minloglevel = google::GLOG_FATAL;
}

} // namespace calvero
