// POSIX only: the shared object's load hook stands in for the Windows process
// attach notification, and the destruction of a static registered by it for
// process detach.
#include "ae/ModuleLifecycle.h"

namespace {

// Registered after the logger's own statics, so it is destroyed before them,
// both at dlclose and at process exit (where a plain destructor hook would run
// only after every static was already gone).
struct ModuleUnloader {
  ModuleUnloader() = default;
  ModuleUnloader(const ModuleUnloader&) = delete;
  ModuleUnloader& operator=(const ModuleUnloader&) = delete;
  ~ModuleUnloader() { brantok::lumaro::ae::OnProcessDetach(); }
};

__attribute__((constructor)) void LumaroModuleLoaded() {
  brantok::lumaro::ae::OnProcessAttach();
  static ModuleUnloader unloader;
}

} // namespace
