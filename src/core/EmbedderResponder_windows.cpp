#include "core/EmbedderResponder.h"

#include "core/WindowsSupport.h"

namespace brantok::lumaro::core {

IDialogResponder* FindEmbedderResponder() {
  using Lookup = IDialogResponder* (*)();
  const auto lookup = reinterpret_cast<Lookup>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(nullptr), "LumaroEffectDialogResponder")));
  return lookup ? lookup() : nullptr;
}

} // namespace brantok::lumaro::core
