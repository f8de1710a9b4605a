#include "ae/ModuleLifecycle.h"

#include "ae/KeepString.h"
#include "core/Logger.h"
#include "services/Downloader.h"

namespace brantok::lumaro::ae {

void OnProcessAttach() {
  services::Downloader::KeepLibraryLoaded();
  core::Logger::AddDefaultHandler();
  core::Logger::AddFileHandler("LumaroEffect", std::nullopt);
}

void OnProcessDetach() {
  ClearKeptStrings();
  core::Logger::RemoveHandlers();
}

} // namespace brantok::lumaro::ae
