#include "fit/session.h"

#include "fit/frontend.h"

namespace calvero {

void resetPlainInputs();

namespace {
Session& instance()
{
    static Session state;
    return state;
}
} // namespace

Session& session() { return instance(); }

void resetSession()
{
    instance() = Session{};
    resetPlainInputs();
    setMainInputs(nullptr);
    setPresenter(nullptr);
}

} // namespace calvero
