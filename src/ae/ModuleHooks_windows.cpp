// Windows only: the DLL's process attach and detach notifications.
#include "ae/ModuleLifecycle.h"
#include "core/WindowsSupport.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  switch (reason) {
  case DLL_PROCESS_ATTACH:
    brantok::lumaro::ae::OnProcessAttach();
    break;
  case DLL_PROCESS_DETACH:
    brantok::lumaro::ae::OnProcessDetach();
    break;
  default:
    break;
  }
  return TRUE;
}
