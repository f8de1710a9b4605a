#pragma once

#include "gpu/IContext.h"

#include <functional>
#include <memory>

namespace brantok::lumaro::gpu {

// Makes the GPU context on first need: null when the machine has no device
// the back end can use. The host layer is handed one, so it never names a
// back end itself.
using ContextFactory = std::function<std::shared_ptr<IContext>()>;

// The factory of the back end this build renders with.
ContextFactory DefaultContextFactory();

} // namespace brantok::lumaro::gpu
