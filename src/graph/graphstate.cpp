#include "graph/graphstate.h"

namespace calvero {

namespace {
GraphState& instance()
{
    static GraphState state;
    return state;
}
} // namespace

GraphState& graphState() { return instance(); }

void resetGraphState() { instance() = GraphState{}; }

} // namespace calvero
