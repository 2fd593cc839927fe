#include "base/u_bwstop.h"

namespace {

thread_local const std::atomic<bool>* currentStop = nullptr;

}  // namespace

TBWStopScope::TBWStopScope(const std::atomic<bool>& flag) : previous_(currentStop)
{
    currentStop = &flag;
}

TBWStopScope::~TBWStopScope()
{
    currentStop = previous_;
}

void TBWStopScope::ThrowIfRequested()
{
    if (currentStop && currentStop->load(std::memory_order_relaxed))
        throw TBWStopped();
}
