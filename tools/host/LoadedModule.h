#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace brantok::lumaro::host {

// Owns one loaded plug-in module (dlopen / LoadLibraryW) and unloads it when
// destroyed, which runs the module's unload notification.
class LoadedModule {
public:
  // Null with `error` set when the module cannot be loaded.
  static std::unique_ptr<LoadedModule> Load(const std::filesystem::path& path, std::string& error);

  ~LoadedModule();
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  // The exported symbol, or null.
  void* FindSymbol(const char* name) const;

private:
  explicit LoadedModule(void* handle);
  void* handle_;
};

} // namespace brantok::lumaro::host
