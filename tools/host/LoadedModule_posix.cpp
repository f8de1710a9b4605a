// POSIX only: shared objects through the dynamic loader.
#include "LoadedModule.h"

#include <dlfcn.h>

namespace brantok::lumaro::host {

std::unique_ptr<LoadedModule> LoadedModule::Load(const std::filesystem::path& path, std::string& error) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* message = dlerror();
    error = message ? message : "cannot load " + path.string();
    return nullptr;
  }
  return std::unique_ptr<LoadedModule>(new LoadedModule(handle));
}

LoadedModule::LoadedModule(void* handle) : handle_(handle) {}

LoadedModule::~LoadedModule() { dlclose(handle_); }

void* LoadedModule::FindSymbol(const char* name) const { return dlsym(handle_, name); }

} // namespace brantok::lumaro::host
