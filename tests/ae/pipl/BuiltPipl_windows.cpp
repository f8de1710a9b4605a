#include "BuiltPipl.h"

#include "core/WindowsSupport.h"

#include <filesystem>
#include <stdexcept>
#include <string>

namespace brantok::lumaro::ae::test {

std::vector<std::uint8_t> BuiltPiplBytes() {
  const std::filesystem::path path(LUMARO_MODULE_PATH);
  const HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) throw std::runtime_error(std::string("cannot load ") + LUMARO_MODULE_PATH + " as data");
  std::vector<std::uint8_t> bytes;
  if (const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(16000), L"PiPL")) {
    const HGLOBAL loaded = LoadResource(module, resource);
    const auto* data = loaded ? static_cast<const std::uint8_t*>(LockResource(loaded)) : nullptr;
    if (data) bytes.assign(data, data + SizeofResource(module, resource));
  }
  FreeLibrary(module);
  if (bytes.empty()) throw std::runtime_error("no resource PiPL 16000 in the module");
  return bytes;
}

} // namespace brantok::lumaro::ae::test
