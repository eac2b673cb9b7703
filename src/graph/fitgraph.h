#pragma once
// The graph of the last one-variable calculation: axes over the data's range,
// the points and, when the kind has one, the fitted curve.
namespace calvero {

// The program's GraphProcedure: reads the data set and the fit result as they
// are at the moment of each drawing pass.
void fitGraphProcedure();

// Before the graph window is shown: screen device, the program's procedure
// installed.
void prepareScreenGraph();

} // namespace calvero
