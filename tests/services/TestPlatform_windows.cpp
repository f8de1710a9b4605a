// Windows only: Wine's ntdll exports its version, Windows' does not.
#include "TestPlatform.h"

#include "core/WindowsSupport.h"

namespace brantok::lumaro::test {

bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

} // namespace brantok::lumaro::test
