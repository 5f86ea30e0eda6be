#include "comport/ComDispatcher.h"

#include <atomic>

namespace {

std::atomic<TComDispatcher*> GDefaultDispatcher{nullptr};

} // namespace

TComDispatcher* DefaultComDispatcher() {
    return GDefaultDispatcher.load();
}

void SetDefaultComDispatcher(TComDispatcher* Dispatcher) {
    GDefaultDispatcher.store(Dispatcher);
}
