#include "ae/ModuleLifecycle.h"

#include "ae/KeepString.h"
#include "core/Logger.h"

namespace brantok::lumaro::ae {

void OnProcessAttach() {
  core::Logger::AddDefaultHandler();
  core::Logger::AddFileHandler("LumaroEffect", std::nullopt);
}

void OnProcessDetach() {
  ClearKeptStrings();
  core::Logger::RemoveHandlers();
}

} // namespace brantok::lumaro::ae
