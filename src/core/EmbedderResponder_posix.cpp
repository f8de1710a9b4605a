#include "core/EmbedderResponder.h"

#include <dlfcn.h>

namespace brantok::lumaro::core {

IDialogResponder* FindEmbedderResponder() {
  using Lookup = IDialogResponder* (*)();
  // The executable's exports are visible through the global scope when it
  // is linked with --export-dynamic.
  const auto lookup = reinterpret_cast<Lookup>(dlsym(RTLD_DEFAULT, "LumaroEffectDialogResponder"));
  return lookup ? lookup() : nullptr;
}

} // namespace brantok::lumaro::core
