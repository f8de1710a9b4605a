// Windows only: DLLs through LoadLibraryW.
#include "LoadedModule.h"

#include "core/WindowsSupport.h"

namespace brantok::lumaro::host {

std::unique_ptr<LoadedModule> LoadedModule::Load(const std::filesystem::path& path, std::string& error) {
  HMODULE handle = LoadLibraryW(path.c_str());
  if (!handle) {
    error = "cannot load " + path.string() + " (error " + std::to_string(GetLastError()) + ")";
    return nullptr;
  }
  return std::unique_ptr<LoadedModule>(new LoadedModule(reinterpret_cast<void*>(handle)));
}

LoadedModule::LoadedModule(void* handle) : handle_(handle) {}

LoadedModule::~LoadedModule() { FreeLibrary(reinterpret_cast<HMODULE>(handle_)); }

void* LoadedModule::FindSymbol(const char* name) const {
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle_), name));
}

} // namespace brantok::lumaro::host
