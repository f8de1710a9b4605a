#pragma once

// The one route to the Windows headers. Only *_windows.cpp files include it.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <objbase.h>

#include <utility>

namespace brantok::lumaro::core {

// Initialises COM on the calling thread for as long as it lives, and undoes
// only an initialisation that it made itself: a thread that already runs COM
// (S_FALSE) or runs it in another apartment (RPC_E_CHANGED_MODE) is left as it
// was.
class ScopedComInitialisation {
public:
  ScopedComInitialisation() : result_(CoInitializeEx(nullptr, COINIT_MULTITHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~ScopedComInitialisation() {
    if (result_ == S_OK) CoUninitialize();
  }
  ScopedComInitialisation(const ScopedComInitialisation&) = delete;
  ScopedComInitialisation& operator=(const ScopedComInitialisation&) = delete;

  bool Usable() const { return result_ == S_OK || result_ == S_FALSE || result_ == RPC_E_CHANGED_MODE; }
  HRESULT Result() const { return result_; }

private:
  HRESULT result_;
};

} // namespace brantok::lumaro::core
